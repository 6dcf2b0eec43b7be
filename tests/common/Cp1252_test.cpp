#include "common/Cp1252.h"

#include <gtest/gtest.h>

namespace tarvenox {
namespace {

TEST(Cp1252, MapsTheHighControlRangeAndLatin1) {
    EXPECT_EQ(cp1252ToUnicode(0x41), U'A');
    EXPECT_EQ(cp1252ToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(cp1252ToUnicode(0x81), U'\u0081');  // unassigned: its C1 control
    EXPECT_EQ(cp1252ToUnicode(0x9F), U'\u0178');
    EXPECT_EQ(cp1252ToUnicode(0xE4), U'\u00E4');
}

TEST(Cp1252, RoundTripsEveryByteThroughUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    bool lossless = false;
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all), &lossless), all);
    EXPECT_TRUE(lossless);
    EXPECT_EQ(cp1252ToUtf8("\x80 \xE4"), "\u20AC \u00E4");
}

TEST(Cp1252, ReplacesWhatItCannotHold) {
    bool lossless = true;
    EXPECT_EQ(utf8ToCp1252("a\u4E2Db", &lossless), "a?b");
    EXPECT_FALSE(lossless);
    // Invalid and cut UTF-8 sequences are replaced byte by byte, never read past the end.
    EXPECT_EQ(utf8ToCp1252("\xFF"
                           "x",
                           &lossless),
              "?x");
    EXPECT_EQ(utf8ToCp1252("x\xE2\x82", &lossless), "x??");
    EXPECT_EQ(utf8ToCp1252("\xC3", &lossless), "?");
    EXPECT_FALSE(lossless);
}

TEST(Cp1252, DisplayTextKeepsUtf8AndConvertsTheRest) {
    EXPECT_TRUE(isValidUtf8("Ungültige JPEG Datei."));
    EXPECT_EQ(displayText("Ungültige JPEG Datei."), "Ungültige JPEG Datei.");
    EXPECT_FALSE(isValidUtf8("Gr\xF6\xDF"
                             "e"));
    EXPECT_EQ(displayText("Gr\xF6\xDF"
                          "e"),
              "Größe");
}

}  // namespace
}  // namespace tarvenox
