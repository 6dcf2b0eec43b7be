// Percent-encoding in its two forms.
#include "common/PercentEncoding.h"

#include <gtest/gtest.h>

namespace tarvenox {
namespace {

TEST(PercentEncoding, KeepsOnlyWhatEachFormKeeps) {
    const struct {
        std::string_view text;
        std::string unreserved;  // loadVariables answers, a saved web page's file names
        std::string pathName;    // the page server's URLs of the working folder
    } cases[] = {
        {"Az09-_.~", "Az09-_.~", "Az09-_.~"},
        {"$(),;", "%24%28%29%2C%3B", "$(),;"},
        {"a b/c?d#e&f=g+h%", "a%20b%2Fc%3Fd%23e%26f%3Dg%2Bh%25", "a%20b%2fc%3fd%23e%26f%3dg%2bh%25"},
        // UTF-8 and Windows-1252 letters alike: every byte above 0x7F, whatever the locale.
        {"\xC3\xA4\xE4\xFF", "%C3%A4%E4%FF", "%c3%a4%e4%ff"},
        {std::string_view("\0\x1F\x7F", 3), "%00%1F%7F", "%00%1f%7f"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(percentEncoded(c.text), c.unreserved) << c.text;
        EXPECT_EQ(percentEncoded(c.text, serverPathName), c.pathName) << c.text;
    }
}

}  // namespace
}  // namespace tarvenox
