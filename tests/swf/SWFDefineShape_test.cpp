// Rescaling the bitmap fills of the shape tags when a picture changes its pixel size.
#include <gtest/gtest.h>

#include "support/MovieBuilder.h"
#include "swf/SWFDefineShape.h"

namespace tarvenox {
namespace {

using test::operator+;

constexpr std::int32_t kOne = 1 << 16;  // 1.0 in 16.16 fixed point

// Shape records after the style arrays: NumFillBits 1, NumLineBits 0, a style change,
// an end record. rescale must copy them unchanged.
const Bytes kRecords = {0x10, 0x0D, 0x00, 0x00};
const SWFRect kBounds = {-20, 2000, 0, 1000, 0};

SWFFillStyle bitmapFill(std::uint16_t id, std::int32_t scale, std::uint8_t type = SWFFillStyle::kClippedBitmap) {
    SWFFillStyle fill;
    fill.type = type;
    fill.bitmapId = id;
    fill.bitmapMatrix = {.hasScale = true, .scaleX = scale, .scaleY = scale, .translateX = 40, .translateY = -60};
    return fill;
}

Bytes shapeBody(std::vector<SWFFillStyle> fills, std::vector<SWFLineStyle> lines = {}) {
    SWFShapeStyles styles;
    styles.shapeId = 9;
    styles.bounds = kBounds;
    styles.fillStyles = std::move(fills);
    styles.lineStyles = std::move(lines);
    return styles.write() + kRecords;
}

SWFShapeStyles stylesOf(const SWFDefineShape& shape) {
    auto styles = shape.styles();
    EXPECT_TRUE(styles.has_value());
    return styles.value_or(SWFShapeStyles{});
}

TEST(SWFDefineShape, HalvesTheScaleWhenThePictureDoublesInSize) {
    // Built bit by bit as a movie holds it: id 2, an empty RECT, one clipped bitmap
    // fill of bitmap 1 with scale 20.0 and translation (200, -100), no line styles.
    SWFBitWriter w;
    w.writeAlignedUI16(2);
    w.writeBits(5, 0);                 // RECT with Nbits 0
    w.writeAlignedByte(1);             // FillStyleCount
    w.writeAlignedByte(0x41);          // clipped bitmap
    w.writeAlignedUI16(1);             // BitmapId
    w.writeBits(1, 1);                 // HasScale
    w.writeBits(5, 22);                // NScaleBits
    w.writeSignedBits(22, 20 * kOne);  // ScaleX 20.0
    w.writeSignedBits(22, 20 * kOne);  // ScaleY 20.0
    w.writeBits(1, 0);                 // HasRotate
    w.writeBits(5, 9);                 // NTranslateBits
    w.writeSignedBits(9, 200);
    w.writeSignedBits(9, -100);
    w.writeAlignedByte(0);  // LineStyleCount
    SWFDefineShape shape(TagCode::DefineShape, w.take() + kRecords);

    ASSERT_TRUE(shape.rescale(1, 100, 50, 200, 100));
    const SWFShapeStyles styles = stylesOf(shape);
    ASSERT_EQ(styles.fillStyles.size(), 1u);
    const SWFMatrix& m = styles.fillStyles[0].bitmapMatrix;
    EXPECT_EQ(m.scaleX, 10 * kOne);
    EXPECT_EQ(m.scaleY, 10 * kOne);
    EXPECT_EQ(m.translateX, 200);
    EXPECT_EQ(m.translateY, -100);
    EXPECT_FALSE(m.hasRotate);
    EXPECT_EQ(styles.shapeId, 2);
    ByteSpan body = shape.body();
    EXPECT_EQ(Bytes(body.end() - 4, body.end()), kRecords);
    EXPECT_EQ(styles.restOffset, body.size() - 4);
}

TEST(SWFDefineShape, RescalesEveryFillOfTheBitmapAndKeepsAllOtherStyles) {
    SWFFillStyle solid{.type = SWFFillStyle::kSolid, .red = 1, .green = 2, .blue = 3};
    SWFFillStyle gradient{.type = SWFFillStyle::kLinearGradient};
    gradient.gradientMatrix = {.hasScale = true,
                               .scaleX = 3 * kOne,
                               .scaleY = -kOne,
                               .hasRotate = true,
                               .rotateSkew0 = 5,
                               .rotateSkew1 = -5,
                               .translateX = 7};
    gradient.gradientCountByte = 2;
    gradient.gradient = {{0, 255, 0, 0}, {255, 0, 0, 255}};
    const std::vector<SWFFillStyle> fills = {solid, bitmapFill(1, 20 * kOne), gradient, bitmapFill(3, 20 * kOne),
                                             bitmapFill(1, 4 * kOne, SWFFillStyle::kRepeatingBitmap)};
    const std::vector<SWFLineStyle> lines = {{20, 9, 8, 7}, {65535, 255, 0, 128}};
    SWFDefineShape shape(TagCode::DefineShape, shapeBody(fills, lines));

    ASSERT_TRUE(shape.rescale(1, 30, 30, 60, 10));
    const SWFShapeStyles styles = stylesOf(shape);
    ASSERT_EQ(styles.fillStyles.size(), 5u);
    EXPECT_EQ(styles.fillStyles[0], solid);
    EXPECT_EQ(styles.fillStyles[2], gradient);
    EXPECT_EQ(styles.fillStyles[3], bitmapFill(3, 20 * kOne));
    EXPECT_EQ(styles.fillStyles[1].bitmapMatrix.scaleX, 10 * kOne);
    EXPECT_EQ(styles.fillStyles[1].bitmapMatrix.scaleY, 60 * kOne);
    EXPECT_EQ(styles.fillStyles[4].bitmapMatrix.scaleX, 2 * kOne);
    EXPECT_EQ(styles.fillStyles[4].bitmapMatrix.scaleY, 12 * kOne);
    EXPECT_EQ(styles.fillStyles[4].type, SWFFillStyle::kRepeatingBitmap);
    EXPECT_EQ(styles.lineStyles, lines);
    EXPECT_EQ(styles.bounds, (SWFRect{-20, 2000, 0, 1000, styles.bounds.nBits}));
}

TEST(SWFDefineShape, ScaleIsTruncatedAndRotationFollowsTheBitmapAxes) {
    SWFFillStyle rotated = bitmapFill(1, kOne);
    rotated.bitmapMatrix.hasRotate = true;
    rotated.bitmapMatrix.rotateSkew0 = kOne;
    rotated.bitmapMatrix.rotateSkew1 = -kOne;
    SWFFillStyle unscaled = bitmapFill(1, 0);
    unscaled.bitmapMatrix.hasScale = false;
    SWFDefineShape shape(TagCode::DefineShape, shapeBody({rotated, unscaled}));

    ASSERT_TRUE(shape.rescale(1, 1, 2, 3, 4));
    const auto fills = stylesOf(shape).fillStyles;
    // 1/3 and 2/4 of 65536, truncated towards zero.
    const SWFMatrix& m = fills[0].bitmapMatrix;
    EXPECT_EQ(m.scaleX, 21845);
    EXPECT_EQ(m.rotateSkew0, 21845);
    EXPECT_EQ(m.scaleY, 32768);
    EXPECT_EQ(m.rotateSkew1, -32768);
    // A matrix without scale has scale 1.0; it gains the factors.
    EXPECT_TRUE(fills[1].bitmapMatrix.hasScale);
    EXPECT_EQ(fills[1].bitmapMatrix.scaleX, 21845);
    EXPECT_EQ(fills[1].bitmapMatrix.scaleY, 32768);
}

TEST(SWFDefineShape, ScaleIsKeptWithinWhatAMatrixCanHold) {
    SWFDefineShape shape(TagCode::DefineShape, shapeBody({bitmapFill(1, 200 * kOne)}));
    ASSERT_TRUE(shape.rescale(1, 65535, 65535, 1, 1));
    EXPECT_EQ(stylesOf(shape).fillStyles[0].bitmapMatrix.scaleX, (1 << 30) - 1);
}

TEST(SWFDefineShape, SameSizeKeepsValuesButMayShortenAWastefulMatrix) {
    SWFBitWriter w;
    w.writeAlignedUI16(2);
    w.writeBits(5, 0);
    w.writeAlignedByte(1);
    w.writeAlignedByte(0x40);
    w.writeAlignedUI16(5);
    w.writeBits(1, 1);
    w.writeBits(5, 31);  // 31 bits where 19 would do
    w.writeSignedBits(31, 2 * kOne);
    w.writeSignedBits(31, 3 * kOne);
    w.writeBits(1, 0);
    w.writeBits(5, 0);  // no translation
    w.writeAlignedByte(0);
    const Bytes before = w.take() + kRecords;
    SWFDefineShape shape(TagCode::DefineShape, before);
    ASSERT_TRUE(shape.rescale(5, 64, 64, 64, 64));
    EXPECT_LT(shape.length(), before.size());
    const SWFMatrix m = stylesOf(shape).fillStyles[0].bitmapMatrix;
    EXPECT_EQ(m.scaleX, 2 * kOne);
    EXPECT_EQ(m.scaleY, 3 * kOne);
}

// The matrix of a bitmap fill with scale 2.0 and no translation.
Bytes bitmapFillBytes(std::uint8_t type) {
    SWFBitWriter w;
    w.writeAlignedByte(type);
    w.writeAlignedUI16(1);  // BitmapId
    SWFMatrix{.hasScale = true, .scaleX = 2 * kOne, .scaleY = 2 * kOne}.write(w);
    return w.take();
}

TEST(SWFDefineShape, LaterShapeTagsAreRescaledWithTheirOwnLayout) {
    struct Case {
        TagCode code;
        Bytes body;
        std::uint8_t bitmapFill;  // kept as it was: smoothed or not
    };
    const Bytes solidRgb = {0x00, 1, 2, 3};
    const Bytes solidRgba = {0x00, 1, 2, 3, 4};
    const Case cases[] = {
        // id, empty RECT, extended fill count 2, solid RGB, smoothed repeating bitmap,
        // one line style (width, RGB).
        {TagCode::DefineShape2,
         test::le16(7) + Bytes{0x00} + Bytes{0xFF} + test::le16(2) + solidRgb + bitmapFillBytes(0x40) + Bytes{1} +
             test::le16(20) + Bytes{9, 8, 7},
         0x40},
        // RGBA colours; a non-smoothed clipped bitmap.
        {TagCode::DefineShape3,
         test::le16(7) + Bytes{0x00} + Bytes{2} + solidRgba + bitmapFillBytes(0x43) + Bytes{1} + test::le16(20) +
             Bytes{9, 8, 7, 6},
         0x43},
        // Edge bounds and flags; one LINESTYLE2 (width; join miter and has-fill in the
        // first flags byte; miter limit) painting its edge with the bitmap.
        {TagCode::DefineShape4,
         test::le16(7) + Bytes{0x00} + Bytes{0x00} + Bytes{0x01} + Bytes{2} + solidRgba + bitmapFillBytes(0x42) +
             Bytes{1} + test::le16(20) + Bytes{0b00'10'1'0'0'0, 0x00} + test::le16(0x0300) + bitmapFillBytes(0x41),
         0x42},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(tagName(c.code));
        SWFDefineShape shape(c.code, c.body + kRecords);
        ASSERT_TRUE(shape.styles().has_value());
        ASSERT_TRUE(shape.rescale(1, 100, 50, 200, 100));
        const SWFShapeStyles styles = stylesOf(shape);
        ASSERT_EQ(styles.fillStyles.size(), 2u);
        EXPECT_EQ(styles.fillStyles[0].alpha, c.code == TagCode::DefineShape2 ? 255 : 4);
        EXPECT_EQ(styles.fillStyles[1].type, c.bitmapFill);
        EXPECT_EQ(styles.fillStyles[1].bitmapMatrix.scaleX, kOne);
        EXPECT_EQ(styles.fillStyles[1].bitmapMatrix.scaleY, kOne);
        ASSERT_EQ(styles.lineStyles.size(), 1u);
        if (c.code == TagCode::DefineShape4) {
            EXPECT_EQ(styles.lineStyles[0].miterLimit, 0x0300);
            ASSERT_TRUE(styles.lineStyles[0].fill.has_value());
            EXPECT_EQ(styles.lineStyles[0].fill->bitmapMatrix.scaleX, kOne);
        } else {
            EXPECT_EQ(styles.lineStyles[0].blue, 7);
        }
        // The shape records untouched, the extended count kept.
        const ByteSpan body = shape.body();
        ASSERT_GT(body.size(), kRecords.size());
        EXPECT_TRUE(std::equal(kRecords.begin(), kRecords.end(), body.end() - kRecords.size()));
        EXPECT_EQ(body[3], c.body[3]);
    }
}

TEST(SWFDefineShape, LeavesTheBodyByteForByteWhenItCannotOrNeedNotRescale) {
    const Bytes usesOther = shapeBody({bitmapFill(2, kOne)});
    const Bytes usesOne = shapeBody({bitmapFill(1, kOne)});
    // A fill type no SWF version defines, before a fill of bitmap 1.
    SWFFillStyle later = bitmapFill(1, kOne);
    Bytes unknown = shapeBody({later, bitmapFill(1, kOne)});
    SWFBitWriter rect;
    SWFRect bounds = kBounds;
    bounds.write(rect);
    const std::size_t typeAt = 2 + rect.size() + 1;  // id, RECT, FillStyleCount
    ASSERT_EQ(unknown[typeAt], 0x41);
    unknown[typeAt] = 0x44;

    struct Case {
        const char* name;
        Bytes body;
        std::uint16_t newWidth;
    };
    std::vector<Case> cases = {
        {"other bitmap only", usesOther, 10},
        {"unknown fill type", unknown, 10},
        {"new width 0", usesOne, 0},
        {"empty body", {}, 10},
    };
    // Every cut inside the style arrays.
    const std::size_t stylesEnd = usesOne.size() - kRecords.size();
    for (std::size_t cut = 1; cut < stylesEnd; ++cut) {
        cases.push_back({"cut", Bytes(usesOne.begin(), usesOne.begin() + cut), 10});
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(c.body.size()));
        SWFDefineShape shape(TagCode::DefineShape, c.body);
        EXPECT_FALSE(shape.rescale(1, 20, 20, c.newWidth, 10));
        EXPECT_EQ(Bytes(shape.body().begin(), shape.body().end()), c.body);
    }
}

}  // namespace
}  // namespace tarvenox
