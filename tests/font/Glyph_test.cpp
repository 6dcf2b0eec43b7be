// Glyphs parsed from native outline buffers: line and spline records, the closing
// line, fixed-point conversion, and buffers that lie about their sizes.
#include <gtest/gtest.h>

#include "NativeOutlineBuilder.h"
#include "common/Texts.h"
#include "font/Glyph.h"
#include "support/MovieBuilder.h"

namespace tarvenox {
namespace {

using test::le16;
using test::le32;
using test::operator+;
using test::nativeOutline;
using test::path;
constexpr CurveType L = CurveType::Line;
constexpr CurveType Q = CurveType::QSpline;

TEST(Glyph, ReadsThePolygonLayoutByteForByte) {
    Bytes buffer = le32(16 + 4 + 3 * 8)           // cb: header, one record of three points
                   + le32(24)                     // dwType, not examined
                   + le16(0) + le16(1)            // pfxStart.x = 1.0 pixel (fraction, integer)
                   + le16(0x8000) + le16(0xFFFE)  // pfxStart.y = -1.5 pixels
                   + le16(1) + le16(3)            // TT_PRIM_LINE, three points
                   + le32(0x20000) + le32(0)      // (2, 0) pixels
                   + le32(0x20000) + le32(0x10000) + le32(0) + le32(0x10000);
    Glyph glyph(buffer);
    ASSERT_EQ(glyph.contours().size(), 1u);
    EXPECT_EQ(glyph.contours()[0].startX, 16);
    EXPECT_EQ(glyph.contours()[0].startY, -24);
    // Three lines from the record, then the closing line back to the start point.
    EXPECT_EQ(path(glyph), "M 16 -24 L 32 0 L 32 16 L 0 16 L 16 -24 Z");
}

TEST(Glyph, SplineRecordsImplyMidpointsBetweenControlPoints) {
    // Three points B, C, D after S: (S, B, mid(B, C)) and (mid(B, C), C, D).
    EXPECT_EQ(path(Glyph(nativeOutline({{{0, 0}, {{Q, {{10, 20}, {30, 40}, {50, 0}}}}}}))),
              "M 0 0 Q 10 20 20 30 Q 30 40 50 0 L 0 0 Z");
    // Two points make one curve.
    EXPECT_EQ(path(Glyph(nativeOutline({{{0, 0}, {{Q, {{8, 16}, {16, 0}}}}}}))), "M 0 0 Q 8 16 16 0 L 0 0 Z");
    // One point makes nothing and leaves the current point where it was.
    EXPECT_EQ(path(Glyph(nativeOutline({{{0, 0}, {{L, {{5, 0}}}, {Q, {{9, 9}}}, {L, {{5, 5}}}}}}))),
              "M 0 0 L 5 0 L 5 5 L 0 0 Z");
    // Midpoints truncate toward zero: of -3 and 0 is -1, of 3 and 0 is 1.
    EXPECT_EQ(path(Glyph(nativeOutline({{{0, 0}, {{Q, {{-3, 3}, {0, 0}, {4, 4}}}}}}))),
              "M 0 0 Q -3 3 -1 1 Q 0 0 4 4 L 0 0 Z");
}

TEST(Glyph, EveryPolygonIsAClosedContourInBufferOrder) {
    // The closing line exists even when the last record already ended at the start.
    EXPECT_EQ(path(Glyph(nativeOutline({{{0, 0}, {{Q, {{8, 16}, {16, 0}}}, {L, {{0, 0}}}}}}))),
              "M 0 0 Q 8 16 16 0 L 0 0 L 0 0 Z");
    EXPECT_EQ(path(Glyph(nativeOutline({{{0, 0}, {{L, {{10, 0}, {10, 10}}}}}, {{2, 2}, {{L, {{4, 2}, {4, 4}}}}}}))),
              "M 0 0 L 10 0 L 10 10 L 0 0 Z M 2 2 L 4 2 L 4 4 L 2 2 Z");
}

TEST(Glyph, FixedValuesTruncateTowardZeroInSixteenthsOfAPixel) {
    EXPECT_EQ(fixedToOutlineUnits(fixedFromParts(1, 0x8000)), 24);    // 1.5 pixels
    EXPECT_EQ(fixedToOutlineUnits(fixedFromParts(-2, 0x8000)), -24);  // -1.5 pixels
    EXPECT_EQ(fixedToOutlineUnits(fixedFromParts(-1, 0xF852)), 0);    // -0.03 pixels
    EXPECT_EQ(fixedToOutlineUnits(4095), 0);                          // just under 1/16
    EXPECT_EQ(fixedToOutlineUnits(-4095), 0);
    EXPECT_EQ(fixedToOutlineUnits(-4096), -1);
    // Midpoints are taken on converted values: -0.03 and 0.5 pixels give 0 and 8, so 4.
    NativeOutlineWriter writer;
    writer.beginPolygon({0, 0});
    writer.addRecord(Q, {{fixedFromParts(-1, 0xF852), 0}, {0x8000, 0}, {0x10000, 0}});
    EXPECT_EQ(path(Glyph(writer.take())), "M 0 0 Q 0 0 4 0 Q 8 0 16 0 L 0 0 Z");
}

TEST(Glyph, CubicAndUnknownRecordsAreReportedAndSteppedOver) {
    Glyph glyph(nativeOutline(
        {{{0, 0},
          {{CurveType::CSpline, {{1, 1}, {2, 2}, {3, 3}}}, {static_cast<CurveType>(7), {{9, 9}}}, {L, {{5, 0}}}}}}));
    EXPECT_EQ(path(glyph), "M 0 0 L 5 0 L 0 0 Z");
    EXPECT_EQ(glyph.messages(), (std::vector<UserMessage>{{text("font.cubicSpline"), MessageKind::OkCancel},
                                                          {text("font.unknownRecord"), MessageKind::OkCancel}}));
}

// Buffers whose sizes do not hold together: parsing stops inside the buffer, keeps
// what it has read, and never loops.
TEST(Glyph, MalformedBuffersNeverReadPastTheirBytes) {
    const Bytes square = nativeOutline({{{0, 0}, {{L, {{16, 0}, {16, 16}}}}}});
    auto withCb = [&](std::uint32_t cb) {
        Bytes b = square;
        for (int i = 0; i < 4; ++i) b[i] = static_cast<std::uint8_t>(cb >> (8 * i));
        return b;
    };
    auto recordCount = [&](std::uint16_t count) {
        Bytes b = square;
        b[18] = static_cast<std::uint8_t>(count);
        b[19] = static_cast<std::uint8_t>(count >> 8);
        return b;
    };
    struct Case {
        const char* name;
        Bytes buffer;
        std::string path;
    } cases[] = {
        {"empty", {}, ""},
        {"header cut short", Bytes(square.begin(), square.begin() + 15), ""},
        {"cb of zero", withCb(0), ""},
        {"cb smaller than the header", withCb(15), ""},
        {"cb past the buffer", withCb(1000), "M 0 0 L 16 0 L 16 16 L 0 0 Z"},
        {"record cut short by cb", withCb(16 + 4 + 8), "M 0 0 L 0 0 Z"},
        {"record header cut short", withCb(16 + 2), "M 0 0 L 0 0 Z"},
        {"more points than the polygon", recordCount(3), "M 0 0 L 0 0 Z"},
        {"point count of 0xFFFF", recordCount(0xFFFF), "M 0 0 L 0 0 Z"},
        {"record with no points", recordCount(0) + le32(0) /* stray bytes after it */, "M 0 0 L 0 0 Z"},
        {"a second polygon cut short", square + Bytes(square.begin(), square.begin() + 20),
         "M 0 0 L 16 0 L 16 16 L 0 0 Z M 0 0 L 0 0 Z"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(path(Glyph(c.buffer)), c.path);
    }
}

}  // namespace
}  // namespace tarvenox
