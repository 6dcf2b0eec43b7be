// Advance widths for the editor and their hexadecimal form.
#include <gtest/gtest.h>

#include "font/FontMetrics.h"

namespace tarvenox {
namespace {

TEST(FontMetrics, WidthsStringHoldsTheLowByteOfCodes32To255) {
    std::array<std::int32_t, 256> widths{};
    widths[0] = 0x7F;  // codes below 32 are measured but never written
    widths[31] = 0x7F;
    widths[32] = 5;    // "05"
    widths[33] = 171;  // "ab"
    widths[34] = 300;  // low 8 bits: "2c"
    widths[35] = -1;   // "ff"
    widths[255] = 16;  // the last two characters
    std::string hex = widthsAsHex(widths);
    ASSERT_EQ(hex.size(), 448u);
    EXPECT_EQ(hex.substr(0, 8), "05ab2cff");
    EXPECT_EQ(hex.substr(8, 4), "0000");
    EXPECT_EQ(hex.substr(446), "10");
    EXPECT_EQ(hex.find("7f"), std::string::npos);
}

TEST(FontMetrics, MeasuresAnInstalledFaceAtItsEmHeight) {
    FontMetrics regular("DejaVu Sans", 100, false);
    EXPECT_EQ(regular.faceName(), "DejaVu Sans");
    EXPECT_EQ(regular.size(), 100);
    EXPECT_FALSE(regular.bold());
    // DejaVu Sans advances, in em: M 0.863, i 0.278, space 0.318.
    EXPECT_NEAR(regular.widths()['M'], 86, 2);
    EXPECT_NEAR(regular.widths()['i'], 28, 2);
    EXPECT_NEAR(regular.widths()[' '], 32, 2);
    EXPECT_EQ(regular.widthsAsHex().size(), 448u);
    EXPECT_EQ(regular.widthsAsHex().substr(2 * ('M' - 32), 2), "56");

    FontMetrics half("DejaVu Sans", 50, false);
    EXPECT_NEAR(half.widths()['M'], regular.widths()['M'] / 2, 1);

    FontMetrics bold("DejaVu Sans", 100, true);
    EXPECT_GT(bold.widths()['a'], regular.widths()['a']);
}

}  // namespace
}  // namespace tarvenox
