// The SWF shapes of glyphs: shape header, style change records with their move-to,
// straight and curved edge records, and the empty shape.
#include <gtest/gtest.h>

#include "NativeOutlineBuilder.h"
#include "ShapeDecoder.h"
#include "font/Glyph.h"
#include "swf/SWFBitWriter.h"

namespace tarvenox {
namespace {

using test::nativeOutline;
constexpr CurveType L = CurveType::Line;
constexpr CurveType Q = CurveType::QSpline;

template <typename T>
Bytes written(const T& item) {
    SWFBitWriter w;
    item.write(w);
    return w.take();
}

TEST(GlyphShape, DocumentedGlyphs) {
    // A square: the start (0, 0), three lines and the closing line.
    EXPECT_EQ(written(Glyph(nativeOutline({{{0, 0}, {{L, {{16, 0}, {16, 16}, {0, 16}}}}}}))),
              (Bytes{0x10, 0x34, 0x1D, 0x04, 0x33, 0x61, 0x99, 0x0D, 0x14, 0x00}));
    // One curve through (8, 16) to (16, 0), then the closing line: NumBits 4 and the
    // deltas 8, -16, 8, 16 in 6 bits each.
    EXPECT_EQ(written(Glyph(nativeOutline({{{0, 0}, {{Q, {{8, 16}, {16, 0}}}}}}))),
              (Bytes{0x10, 0x34, 0x19, 0x08, 0xC0, 0x84, 0x33, 0x20, 0x00}));
    // No contours at all: the same two bytes as the empty glyph.
    EXPECT_EQ(written(NullGlyph()), (Bytes{0x10, 0x00}));
    EXPECT_EQ(written(Glyph(Bytes{})), (Bytes{0x10, 0x00}));
}

TEST(GlyphShape, StraightEdges) {
    // Horizontal: 1 1, NumBits 3 (signedBitCount(10) = 5, minus 2), 0 0, 10 in 5 bits.
    EXPECT_EQ(written(Line(0, 0, 10, 0)), (Bytes{0b11'0011'0'0, 0b01010'000}));
    // Vertical, upwards in outline units, so the SWF delta is negative: -16 in 5 bits.
    EXPECT_EQ(written(Line(0, 0, 0, 16)), (Bytes{0b11'0011'0'1, 0b10000'000}));
    // General: dx 1, dy -2 take 2 bits each after NumBits 0.
    EXPECT_EQ(written(Line(0, 0, 1, 2)), (Bytes{0b11'0000'1'0, 0b1'10'00000}));
}

TEST(GlyphShape, MoveToAndStyleFlags) {
    Contour origin(0, 0);
    SWFBitWriter w;
    origin.write(w, true);
    // 0 0 1 1 0 1, MoveBits 0, FillStyle1 = 1.
    EXPECT_EQ(w.take(), (Bytes{0b001101'00, 0b000'1'0000}));

    // (3, -16) is written as 3 and +16: MoveBits 6. A later contour sets no styles.
    Contour later(3, -16);
    SWFBitWriter w2;
    later.write(w2, false);
    EXPECT_EQ(w2.take(), (Bytes{0b000001'00, 0b110'00001, 0b1'010000'0}));
}

TEST(GlyphShape, OnlyTheFirstContourSelectsTheFillStyle) {
    Glyph glyph(nativeOutline({{{0, 0}, {}}, {{0, 0}, {}}}));
    // 0x10, first contour 001101 00000 1, zero-length line 11 0000 0 1 00,
    // second contour 000001 00000, zero-length line, end 000000.
    EXPECT_EQ(written(glyph), (Bytes{0x10, 0b001101'00, 0b000'1'1100, 0b00'0'1'00'00, 0b0001'0000, 0b0'1100000,
                                     0b1'00'00000, 0b0'0000000}));
}

TEST(GlyphShape, EdgesBeyondSeventeenBitsAreSplitAndEndExactly) {
    // 17 bits still fit in one record (NumBits 15).
    auto edges = [](const Bytes& bytes) { return test::decodeShape(bytes, 0, false); };
    test::DecodedShape fits = edges(written(Line(0, 0, 65535, 0)));
    EXPECT_EQ(fits.edges, 1);
    EXPECT_EQ(fits.maxNumBits, 15);

    test::DecodedShape line = edges(written(Line(-300000, 200000, 300000, -250000)));
    EXPECT_GT(line.edges, 1);
    EXPECT_LE(line.maxNumBits, 15);
    EXPECT_EQ(line.dx, 600000);
    EXPECT_EQ(line.dy, 450000);

    test::DecodedShape curve = edges(written(Curve(0, 0, 150000, 400000, 300001, -7)));
    EXPECT_GT(curve.edges, 1);
    EXPECT_LE(curve.maxNumBits, 15);
    EXPECT_EQ(curve.dx, 300001);
    EXPECT_EQ(curve.dy, 7);
}

}  // namespace
}  // namespace tarvenox
