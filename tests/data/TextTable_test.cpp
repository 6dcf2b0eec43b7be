// Tab-separated tables.
#include "data/TextTable.h"

#include <gtest/gtest.h>

namespace tarvenox {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// The first widths[row] cells of every row.
Rows rowsOf(const TextTable& table, const std::vector<int>& widths) {
    Rows rows;
    for (int row = 0; row < table.rowCount(); ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < widths.at(static_cast<std::size_t>(row)); ++column) {
            cells.push_back(table.cell(column, row));
        }
        rows.push_back(cells);
    }
    return rows;
}

TEST(TextTable, MixedLineEndsAndBlankLines) {
    TextTable table("name\tvalue\r\n\r\na\tb\r\nc\td");
    EXPECT_EQ(table.getColumnCount(), 2);
    EXPECT_EQ(rowsOf(table, {2, 2}), (Rows{{"a", "b"}, {"c", "d"}}));

    TextTable loneCr("h\ra\rb\n\n\nc\r\n");
    EXPECT_EQ(rowsOf(loneCr, {1, 1, 1}), (Rows{{"a"}, {"b"}, {"c"}}));
}

TEST(TextTable, HeaderOnlyAndEmptyText) {
    EXPECT_EQ(TextTable("a\tb\tc\r\n").rowCount(), 0);
    EXPECT_EQ(TextTable("a\tb\tc").getColumnCount(), 3);
    TextTable empty("");
    EXPECT_EQ(empty.getColumnCount(), 1);
    EXPECT_EQ(empty.rowCount(), 0);
}

TEST(TextTable, LeadingLineBreakMakesAnEmptyHeader) {
    TextTable table("\r\nfirst\tline\nsecond");
    EXPECT_EQ(table.getColumnCount(), 1);
    EXPECT_EQ(rowsOf(table, {2, 1}), (Rows{{"first", "line"}, {"second"}}));
}

TEST(TextTable, CellsAreExactlyTheBytesBetweenTabs) {
    TextTable table("h\nx\t\ty\nx\t\n  pad \t#not a comment\n\xE4\tq");
    EXPECT_EQ(rowsOf(table, {3, 2, 2, 2}),
              (Rows{{"x", "", "y"}, {"x", ""}, {"  pad ", "#not a comment"}, {"\xE4", "q"}}));
    EXPECT_EQ(TextTable(std::string("h\na\0b\tc", 8)).cell(0, 0), std::string("a\0b", 3));
}

TEST(TextTable, CellsOutsideTheTableReadAsEmpty) {
    TextTable table("h\nonly");
    EXPECT_EQ(table.cell(0, 0), "only");
    EXPECT_EQ(table.cell(3, 0), "");
    EXPECT_EQ(table.cell(0, 1), "");
    EXPECT_EQ(table.cell(-1, 0), "");
    EXPECT_EQ(table.cell(0, -1), "");
}

}  // namespace
}  // namespace tarvenox
