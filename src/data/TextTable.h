// Tab-separated text tables: the format of the product's configuration texts.
#pragma once

#include <string>
#include <vector>

namespace tarvenox {

// A text parsed into rows of cells. The first line is a header: only its number of
// cells is kept. Every further non-blank line is one row; LF, CR LF and lone CR all end
// a line, and a run of line breaks counts as one. A cell is exactly the bytes between
// two TABs (Windows-1252, never trimmed, possibly empty).
class TextTable {
public:
    explicit TextTable(std::string text);

    int rowCount() const { return static_cast<int>(rows.size()); }
    int getColumnCount() const { return columnCount; }

    // A copy of the cell. A cell the row does not have, or a row the table does not
    // have, reads as empty: consumers ask for fixed columns, and a short row must not
    // make them read outside the table.
    std::string cell(int column, int row) const;

private:
    int columnCount = 0;
    std::vector<std::vector<std::string>> rows;
};

}  // namespace tarvenox
