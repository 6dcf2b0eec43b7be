// Planning and carrying out the fit of a picture to its slot, and turning it upright.
#include <gtest/gtest.h>

#include <cmath>

#include "picture/ExifOrientation.h"
#include "picture/PictureLimits.h"
#include "picture/PictureScaling.h"

namespace tarvenox {
namespace {

// The proportions of the part of the source the plan keeps, against those it is drawn at.
double keptAspect(const FitPlan& plan, double width, double height) {
    return (plan.cropRight - plan.cropLeft) * width / ((plan.cropBottom - plan.cropTop) * height);
}

TEST(PlanFit, SizesCropsAndFramesByTheFit) {
    struct Case {
        const char* name;
        std::uint32_t width, height;
        double slotWidth, slotHeight;
        PictureFit fit;
        std::uint32_t outWidth, outHeight, placeX, placeY, placeWidth, placeHeight;
    };
    const Case cases[] = {
        // A 12 MP photograph in a square slot of 300 stage pixels: 600 x 600.
        {"cover photo", 4000, 3000, 300, 300, PictureFit::Cover, 600, 600, 0, 0, 600, 600},
        {"contain photo", 4000, 3000, 300, 300, PictureFit::Contain, 600, 600, 0, 75, 600, 450},
        {"stretch photo", 4000, 3000, 300, 300, PictureFit::Stretch, 600, 600, 0, 0, 600, 600},
        // Never more pixels than the source has where it is kept.
        {"cover small", 200, 100, 300, 300, PictureFit::Cover, 100, 100, 0, 0, 100, 100},
        {"contain small", 200, 100, 300, 300, PictureFit::Contain, 200, 200, 0, 50, 200, 100},
        {"stretch small", 200, 100, 300, 300, PictureFit::Stretch, 200, 100, 0, 0, 200, 100},
        // Odd sizes round to whole pixels; a thin picture keeps at least one.
        {"cover odd", 47, 33, 10.3, 7.1, PictureFit::Cover, 21, 14, 0, 0, 21, 14},
        {"contain thin", 8000, 10, 50, 50, PictureFit::Contain, 100, 100, 0, 49, 100, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FitPlan plan = planFit(c.width, c.height, c.slotWidth, c.slotHeight, c.fit);
        EXPECT_EQ(plan.width, c.outWidth);
        EXPECT_EQ(plan.height, c.outHeight);
        EXPECT_EQ(plan.placeX, c.placeX);
        EXPECT_EQ(plan.placeY, c.placeY);
        EXPECT_EQ(plan.placeWidth, c.placeWidth);
        EXPECT_EQ(plan.placeHeight, c.placeHeight);
        // Cover and contain keep the source's proportions: the kept part is drawn at its
        // own aspect, within 1%.
        if (c.fit != PictureFit::Stretch && c.placeHeight > 1) {
            const double drawn = static_cast<double>(plan.placeWidth) / plan.placeHeight;
            EXPECT_NEAR(keptAspect(plan, c.width, c.height) / drawn, 1.0, 0.01);
        }
        // The crop is centred.
        EXPECT_NEAR(plan.cropLeft, 1 - plan.cropRight, 1e-9);
        EXPECT_NEAR(plan.cropTop, 1 - plan.cropBottom, 1e-9);
    }
}

TEST(PlanFit, AFrameBeyondThePlayersLimitsIsShrunk) {
    // A long picture contained in a tall slot would need a frame of 8000 x 80000.
    const FitPlan plan = planFit(8000, 1000, 5000, 50000, PictureFit::Contain);
    EXPECT_TRUE(pictureFits(plan.width, plan.height));
    EXPECT_NEAR(static_cast<double>(plan.height) / plan.width, 10.0, 0.1);
    EXPECT_LE(plan.placeWidth, plan.width);
}

PicturePixels filled(std::uint32_t width, std::uint32_t height, int channels, std::uint8_t value) {
    return {width, height, channels, false, Bytes(std::size_t{width} * height * channels, value)};
}

TEST(ScaledPixels, ScalesInLinearLightAndFramesWithTransparentMargins) {
    // One-pixel black and white stripes halved: linear light averages them to a grey
    // of half the light (188 in sRGB), where averaging the stored values gives 128.
    PicturePixels stripes = filled(64, 64, 1, 0);
    for (std::uint32_t y = 0; y < 64; ++y) {
        for (std::uint32_t x = 1; x < 64; x += 2) stripes.samples[y * 64 + x] = 255;
    }
    const auto halved = scaledPixels(stripes, planFit(64, 64, 16, 16, PictureFit::Stretch));
    ASSERT_TRUE(halved);
    EXPECT_EQ(halved->width, 32u);
    EXPECT_NEAR(halved->samples[16 * 32 + 16], 188, 3);

    // A flat colour stays that colour; the contain frame's margins are transparent.
    const auto framed = scaledPixels(filled(47, 33, 3, 200), planFit(47, 33, 20, 20, PictureFit::Contain));
    ASSERT_TRUE(framed);
    ASSERT_EQ(framed->channels, 4);
    const auto pixel = [&](std::uint32_t x, std::uint32_t y) { return &framed->samples[(y * framed->width + x) * 4]; };
    EXPECT_EQ(pixel(0, 0)[3], 0);
    const std::uint8_t* middle = pixel(framed->width / 2, framed->height / 2);
    EXPECT_NEAR(middle[0], 200, 1);
    EXPECT_EQ(middle[3], 255);
}

TEST(OrientedPixels, EachExifOrientationBringsTheFirstStoredPixelToItsCorner) {
    // 3 x 2 grey pixels numbered in storage order.
    const PicturePixels stored{3, 2, 1, false, Bytes{0, 1, 2, 3, 4, 5}};
    struct Case {
        int orientation;
        Bytes expected;  // the result's pixels, row by row
    };
    const Case cases[] = {
        {1, {0, 1, 2, 3, 4, 5}}, {2, {2, 1, 0, 5, 4, 3}}, {3, {5, 4, 3, 2, 1, 0}},
        {4, {3, 4, 5, 0, 1, 2}}, {5, {0, 3, 1, 4, 2, 5}}, {6, {3, 0, 4, 1, 5, 2}},
        {7, {5, 2, 4, 1, 3, 0}}, {8, {2, 5, 1, 4, 0, 3}}, {9, {0, 1, 2, 3, 4, 5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.orientation);
        const PicturePixels out = orientedPixels(stored, c.orientation);
        EXPECT_EQ(out.width, orientationSwapsSides(c.orientation) ? 2u : 3u);
        EXPECT_EQ(out.samples, c.expected);
    }
}

TEST(ExifOrientation, ReadsTheTagInEitherByteOrderAndIgnoresBrokenSegments) {
    const Bytes little = {'E',  'x',  'i', 'f', 0, 0,                     // Exif identifier
                          'I',  'I',  42,  0,   8, 0, 0, 0,               // TIFF header, directory at 8
                          2,    0,                                        // two entries
                          0x0F, 0x01, 2,   0,   1, 0, 0, 0, 0, 0, 0, 0,   // Make, ASCII: not it
                          0x12, 0x01, 3,   0,   1, 0, 0, 0, 6, 0, 0, 0};  // Orientation 6
    const Bytes big = {'E', 'x', 'i',  'f',  0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8,
                       0,   1,   0x01, 0x12, 0, 3, 0,   0,   0, 1,  0, 8, 0, 0};
    EXPECT_EQ(exifOrientation(little), 6);
    EXPECT_EQ(exifOrientation(big), 8);
    EXPECT_EQ(exifOrientation(ByteSpan(little).first(30)), 1);  // cut inside the entries
    Bytes outOfRange = big;
    outOfRange[25] = 9;
    EXPECT_EQ(exifOrientation(outOfRange), 1);
    EXPECT_EQ(exifOrientation(Bytes{'J', 'F', 'I', 'F', 0}), 1);
}

}  // namespace
}  // namespace tarvenox
