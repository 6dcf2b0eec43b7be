// Data sheets: CSV as RFC 4180 has it, in UTF-8 or Windows-1252.
#include <gtest/gtest.h>

#include "common/Texts.h"
#include "publish/DataSheet.h"

namespace tarvenox {
namespace {

using Rows = std::vector<std::vector<std::string>>;

TEST(DataSheet, ReadsQuotingLineEndsAndEncodings) {
    const struct {
        const char* name;
        std::string text;
        Rows rows;  // header first
    } cases[] = {
        {"quotes, commas, a line break and blanks kept",
         "name,msg\r\n\"M\xC3\xBCller, \"\"J\"\"\",\"a\nb \"\r\n x ,\n",
         {{"name", "msg"}, {"M\xC3\xBCller, \"J\"", "a\nb "}, {" x ", ""}}},
        {"byte order mark dropped, no final line end", "\xEF\xBB\xBFname\nJ\xC3\xB6rg", {{"name"}, {"J\xC3\xB6rg"}}},
        {"Windows-1252 converted", "name\nJ\xF6rg \x80", {{"name"}, {"J\xC3\xB6rg \xE2\x82\xAC"}}},
        {"blank lines skipped, short rows kept", "a,b\n\n1\n", {{"a", "b"}, {"1"}}},
        {"a field of the longest length allowed",
         "a\n" + std::string(maxFieldBytes, 'x'),
         {{"a"}, {std::string(maxFieldBytes, 'x')}}},
    };
    for (const auto& c : cases) {
        const auto parsed = parseDataSheet(c.text, "s.csv");
        ASSERT_TRUE(parsed.ok()) << c.name << ": " << parsed.report().text();
        const DataSheet& sheet = *parsed;
        Rows rows = {sheet.header};
        rows.insert(rows.end(), sheet.rows.begin(), sheet.rows.end());
        EXPECT_EQ(rows, c.rows) << c.name;
    }
}

TEST(DataSheet, RefusesWhatCannotBeASheet) {
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"", "s.csv: no header row"},
        {"a,\"b\n1,2\n",
         text("sheet.rowUnreadable", {"s.csv", "0", "error parsing data while strict checking enabled"})},
        {"a,b\n1,x\"y\"\n",
         text("sheet.rowUnreadable", {"s.csv", "1", "error parsing data while strict checking enabled"})},
        {"a,,b\n", "s.csv: the header has a column without a name"},
        {"a,a\n", "s.csv: the header names 'a' twice"},
        // Just past the limit (read whole, then refused) and far past it in a quoted field
        // (the parse stops where the limit is passed): the same line.
        {"a\n" + std::string(maxFieldBytes + 1, 'x') + "\n", "s.csv: " + text("sheet.fieldTooLong", {"1", "1048576"})},
        {"a\n1\n\"" + std::string(8 * maxFieldBytes, 'x') + "\"\n",
         "s.csv: " + text("sheet.fieldTooLong", {"2", "1048576"})},
    };
    for (const auto& c : cases) {
        const auto parsed = parseDataSheet(c.text, "s.csv");
        EXPECT_FALSE(parsed.ok()) << "accepted: " << c.message;
        EXPECT_EQ(parsed.report().text(), c.message);
    }
}

}  // namespace
}  // namespace tarvenox
