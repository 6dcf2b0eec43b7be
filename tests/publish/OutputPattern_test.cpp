// The output names of a sheet's rows.
#include <gtest/gtest.h>

#include "publish/OutputPattern.h"

namespace tarvenox {
namespace {

TEST(OutputPattern, ValuesBecomeSafeFileNames) {
    const auto made = OutputPattern::over("out/{name}-{n}.swf", {"n", "name"});
    ASSERT_TRUE(made.ok());
    const OutputPattern& pattern = *made;
    const struct {
        std::string name;
        std::string expected;
    } cases[] = {
        {"J\xC3\xB6rg \"M\", 1", "out/J\xC3\xB6rg \"M\", 1-7.swf"},
        {"../../etc/passwd", "out/______etc_passwd-7.swf"},
        {"a\\b\tc\x7f", "out/a_b_c_-7.swf"},
        {".hidden", "out/_hidden-7.swf"},
        {"v1.2", "out/v1.2-7.swf"},
        {"", "out/_-7.swf"},
        // Cut at 200 bytes without splitting the two-byte letter that straddles the cut.
        {std::string(199, 'a') + "\xC3\xB6", "out/" + std::string(199, 'a') + "-7.swf"},
    };
    for (const auto& c : cases) EXPECT_EQ(pattern.nameFor({"7", c.name}), c.expected) << c.name;
}

TEST(OutputPattern, RefusesUnknownColumnsAndUnmatchedBraces) {
    const struct {
        const char* pattern;
        const char* message;
    } cases[] = {
        {"{nope}.swf", "-o: the sheet has no column 'nope'"},
        {"{name.swf", "-o: '{name.swf' has a '{' without its '}'"},
        {"name}.swf", "-o: 'name}.swf' has a '}' without its '{'"},
    };
    for (const auto& c : cases) {
        const auto made = OutputPattern::over(c.pattern, {"name"});
        EXPECT_FALSE(made.ok()) << c.pattern;
        EXPECT_EQ(made.report().text(), c.message);
    }
}

}  // namespace
}  // namespace tarvenox
