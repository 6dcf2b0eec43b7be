// Tab-separated text tables.
#include "data/TextTable.h"

namespace tarvenox {

namespace {

bool isLineBreak(char c) { return c == '\n' || c == '\r'; }

// The next line from position, without its line break; every CR and LF after it is
// consumed too, so blank lines vanish. At the end of the text: an empty line.
std::string readLine(const std::string& text, std::size_t& position) {
    if (position >= text.size()) return {};
    std::size_t start = position;
    while (position < text.size() && !isLineBreak(text[position])) ++position;
    std::size_t end = position;
    while (position < text.size() && isLineBreak(text[position])) ++position;
    return text.substr(start, end - start);
}

// n TABs give n + 1 cells.
std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
        std::size_t tab = line.find('\t', start);
        if (tab == std::string::npos) {
            cells.push_back(line.substr(start));
            return cells;
        }
        cells.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

}  // namespace

TextTable::TextTable(std::string text) {
    std::size_t position = 0;
    columnCount = static_cast<int>(splitFields(readLine(text, position)).size());
    // After the first line, readLine gives an empty line only at the end of the text.
    for (std::string line = readLine(text, position); !line.empty(); line = readLine(text, position)) {
        rows.push_back(splitFields(line));
    }
}

std::string TextTable::cell(int column, int row) const {
    if (row < 0 || row >= rowCount()) return {};
    const auto& cells = rows[static_cast<std::size_t>(row)];
    if (column < 0 || static_cast<std::size_t>(column) >= cells.size()) return {};
    return cells[static_cast<std::size_t>(column)];
}

}  // namespace tarvenox
