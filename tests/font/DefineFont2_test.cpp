// DefineFont2 bodies built from glyph outlines: field positions, offsets that point at
// every shape, the layout block, Unicode code tables, bounds, wide offsets, and the font
// tag's replacement.
#include <gtest/gtest.h>

#include "font/FontReplacement.h"

#include <algorithm>

#include "NativeOutlineBuilder.h"
#include "ShapeDecoder.h"
#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "font/DefineFont2.h"
#include "support/MovieBuilder.h"
#include "support/ReadMovie.h"
#include "swf/SWFBitReader.h"
#include "swf/SWFFile.h"
#include "swf/SWFFont.h"
#include "swf/SWFWriter.h"

namespace tarvenox {
namespace {

using test::nativeOutline;
constexpr CurveType L = CurveType::Line;

GlyphOutlines emptyOutlines() {
    GlyphOutlines o;
    for (int i = 0; i < 224; ++i) o.glyphs.push_back(std::make_unique<NullGlyph>());
    for (int c = 0; c < 256; ++c) o.advances[c] = 4 * c;
    o.layout = {950, 242, 37};
    return o;
}

std::uint32_t u32(const Bytes& b, std::size_t pos) {
    return peekUI16(b, pos) | std::uint32_t(peekUI16(b, pos + 2)) << 16;
}

// The offset after the well-formed glyph shape at start; 0 when it is malformed.
std::size_t shapeEnd(const Bytes& body, std::size_t start) {
    test::DecodedShape shape = test::decodeShape(body, start);
    return shape.ok ? shape.end : 0;
}

// After the 224 shapes: 224 wide codes, ascent, descent, leading, 224 advances; then the
// bounds, one byte each for empty glyphs, and the kerning count.
constexpr std::size_t codesToBounds = 2 * 224 + 6 + 2 * 224;

TEST(DefineFont2, FieldPositionsForAFiveByteNameAndEmptyGlyphs) {
    Bytes body = buildDefineFont2Body(0x1234, "Title", emptyOutlines());
    EXPECT_EQ(peekUI16(body, 0), 0x1234);  // FontID
    EXPECT_EQ(body[2], 0x84);              // HasLayout, WideCodes
    EXPECT_EQ(body[3], 0);                 // LanguageCode
    EXPECT_EQ(body[4], 5);
    EXPECT_EQ(asString(ByteSpan(body).subspan(5, 5)), "Title");
    EXPECT_EQ(peekUI16(body, 10), 224);  // NumGlyphs
    // Offsets from the offset table at 12: 450, 452, ..., 896; CodeTableOffset 898 at 460.
    for (int i = 0; i < 224; ++i) EXPECT_EQ(peekUI16(body, 12 + 2 * i), 450 + 2 * i) << i;
    EXPECT_EQ(peekUI16(body, 460), 898);
    for (int i = 0; i < 224; ++i) {
        EXPECT_EQ(body[462 + 2 * i], 0x10);
        EXPECT_EQ(body[463 + 2 * i], 0x00);
    }
    const std::size_t c = 12 + 898;
    EXPECT_EQ(peekUI16(body, c), 32);
    // The face's own layout, and advances in the glyphs' units as they come.
    EXPECT_EQ(peekUI16(body, c + 448), 950);
    EXPECT_EQ(peekUI16(body, c + 450), 242);
    EXPECT_EQ(peekUI16(body, c + 452), 37);
    EXPECT_EQ(peekUI16(body, c + 454), 4 * 32);
    // An empty glyph's bounds: a RECT of Nbits 0, one byte; the kerning count follows.
    for (int i = 0; i < 224; ++i) EXPECT_EQ(body[c + codesToBounds + i], 0) << i;
    EXPECT_EQ(peekUI16(body, c + codesToBounds + 224), 0);
    EXPECT_EQ(body.size(), c + codesToBounds + 226);
}

TEST(DefineFont2, CodesAreAscendingUnicodeWithShapesAdvancesAndBoundsInTheSameOrder) {
    GlyphOutlines o = emptyOutlines();
    // The euro sign (Windows-1252 0x80) gets a square, so its place in the tables shows.
    o.glyphs[0x80 - 32] = std::make_unique<Glyph>(nativeOutline({{{0, 0}, {{L, {{16, 0}, {16, 16}, {0, 16}}}}}}));
    Bytes body = buildDefineFont2Body(9, "Title", o);
    const std::size_t table = 12;
    const std::size_t codeTable = table + peekUI16(body, table + 2 * 224);
    std::vector<std::uint32_t> codes;
    for (int i = 0; i < 224; ++i) codes.push_back(peekUI16(body, codeTable + 2 * i));
    EXPECT_TRUE(std::is_sorted(codes.begin(), codes.end()));
    EXPECT_EQ(std::adjacent_find(codes.begin(), codes.end()), codes.end());
    EXPECT_EQ(codes.front(), 0x20u);
    EXPECT_EQ(codes.back(), 0x2122u);  // the trade mark sign, Windows-1252 0x99
    // The five bytes the code page leaves unassigned keep their own value.
    for (std::uint32_t unassigned : {0x81u, 0x8Du, 0x8Fu, 0x90u, 0x9Du}) {
        EXPECT_NE(std::find(codes.begin(), codes.end(), unassigned), codes.end()) << unassigned;
    }
    const auto euro = std::find(codes.begin(), codes.end(), 0x20ACu);
    ASSERT_NE(euro, codes.end());
    const std::size_t slot = euro - codes.begin();
    for (std::size_t i = 0; i < 224; ++i) {
        const std::size_t start = table + peekUI16(body, table + 2 * i);
        EXPECT_EQ(shapeEnd(body, start) - start, i == slot ? 10u : 2u) << i;
    }
    const std::size_t advances = codeTable + 2 * 224 + 6;
    EXPECT_EQ(peekUI16(body, advances + 2 * slot), 4 * 0x80);
    EXPECT_EQ(peekUI16(body, advances + 2 * 223), 4 * 0x99);
    // Bounds: every RECT from a byte boundary; the square's is the only non-empty one.
    SWFBitReader bounds(ByteSpan(body).subspan(advances + 2 * 224));
    for (std::size_t i = 0; i < 224; ++i) {
        SWFRect r = SWFRect::read(bounds);
        bounds.align();
        EXPECT_EQ(r, (i == slot ? SWFRect{0, 16, -16, 0, r.nBits} : SWFRect{})) << i;
    }
    EXPECT_EQ(advances + 2 * 224 + bounds.nextByteOffset() + 2, body.size());
}

TEST(DefineFont2, BoundsAreTheOutlinesTrueBoxInTheFewestBits) {
    GlyphOutlines o = emptyOutlines();
    // A curve from (0, 0) through the control point (8, 16) to (16, 0) rises to y = 8,
    // not to its control point; a contour starting at (-3, -20) reaches below the line.
    o.glyphs[0] = std::make_unique<Glyph>(nativeOutline({{{0, 0}, {{CurveType::QSpline, {{8, 16}, {16, 0}}}}}}));
    o.glyphs[1] = std::make_unique<Glyph>(nativeOutline({{{-3, -20}, {{L, {{5, 7}}}}}}));
    Bytes body = buildDefineFont2Body(1, "", o);
    const std::size_t boundsStart = 7 + peekUI16(body, 7 + 2 * 224) + codesToBounds;
    SWFBitReader bounds(ByteSpan(body).subspan(boundsStart));
    SWFRect curve = SWFRect::read(bounds);
    bounds.align();
    SWFRect line = SWFRect::read(bounds);
    EXPECT_EQ(curve, (SWFRect{0, 16, -8, 0, 6}));  // 16 takes 6 signed bits
    EXPECT_EQ(line, (SWFRect{-3, 5, -7, 20, 6}));  // y negated: SWF's y grows down
    EXPECT_EQ(bounds.nextByteOffset(), 8u);        // 5 + 4 x 6 bits, aligned, twice
}

TEST(DefineFont2, OffsetsPointAtShapesOfEverySize) {
    GlyphOutlines o = emptyOutlines();
    // A shape that ends in the middle of a byte, between empty ones.
    o.glyphs[1] = std::make_unique<Glyph>(nativeOutline({{{0, 0}, {{L, {{16, 0}, {16, 16}, {0, 16}}}}}}));
    o.glyphs[2] = std::make_unique<Glyph>(nativeOutline({{{3, -16}, {{L, {{5, 7}}}}}, {{1, 1}, {}}}));
    Bytes body = buildDefineFont2Body(1, "", o);
    const std::size_t table = 7;
    EXPECT_EQ(peekUI16(body, table), 450);
    EXPECT_EQ(peekUI16(body, table + 2), 452);
    EXPECT_EQ(peekUI16(body, table + 4), 462);  // after the 10-byte square
    for (int i = 0; i < 224; ++i) {
        std::size_t start = table + peekUI16(body, table + 2 * i);
        std::size_t next = table + peekUI16(body, table + 2 * (i + 1));
        EXPECT_EQ(shapeEnd(body, start), next) << i;
    }
}

TEST(DefineFont2, LargeFontsSwitchToWideOffsets) {
    GlyphOutlines o = emptyOutlines();
    // 300 small squares a glyph: about 3 KB each, far beyond 64 KB in all.
    NativeOutlineWriter writer;
    for (int k = 0; k < 300; ++k) {
        writer.beginPolygon(test::units(k, k));
        writer.addRecord(L, {test::units(k + 16, k), test::units(k + 16, k + 16)});
    }
    Bytes many = writer.take();
    for (auto& g : o.glyphs) g = std::make_unique<Glyph>(many);
    Bytes body = buildDefineFont2Body(7, "Big", o);
    EXPECT_EQ(body[2], 0x8C);  // FontFlagsWideOffsets as well
    const std::size_t table = 10;
    EXPECT_EQ(u32(body, table), 900u);  // 224 + 1 offsets of 4 bytes
    for (int i = 0; i < 224; ++i) {
        EXPECT_EQ(shapeEnd(body, table + u32(body, table + 4 * i)), table + u32(body, table + 4 * (i + 1)));
    }
    std::size_t codeTable = table + u32(body, table + 4 * 224);
    EXPECT_GT(codeTable, 65536u);
    EXPECT_EQ(peekUI16(body, codeTable), 32);
    // Each glyph's box, 0 to 315 both ways, takes 10-bit values: 45 bits, 6 bytes.
    EXPECT_EQ(body.size(), codeTable + codesToBounds + 224 * 6 + 2);
}

TEST(DefineFont2, OutOfRangeNamesAndWidthsStayConsistent) {
    GlyphOutlines o = emptyOutlines();
    o.advances['!'] = 50000;  // beyond a signed 16-bit advance
    o.advances['"'] = -50000;
    o.layout = {70000, -5, 40000};
    Bytes body = buildDefineFont2Body(1, std::string(300, 'n'), o);
    EXPECT_EQ(body[4], 255);  // the name is cut to what FontNameLen can count
    EXPECT_EQ(peekUI16(body, 260), 224);
    const std::size_t layout = 262 + 898 + 448;
    EXPECT_EQ(peekUI16(body, layout), 65535);  // ascent and descent are unsigned
    EXPECT_EQ(peekUI16(body, layout + 2), 0);
    EXPECT_EQ(peekUI16(body, layout + 4), 32767);      // leading is signed
    EXPECT_EQ(peekUI16(body, layout + 6 + 2), 32767);  // '!' and '"' come second and third
    EXPECT_EQ(peekUI16(body, layout + 6 + 4), 0x8000);
}

Bytes movieWithFonts() {
    GlyphOutlines o = emptyOutlines();
    return test::MovieBuilder()
        .tag(48, buildDefineFont2Body(3, "Title", o))
        .tag(48, buildDefineFont2Body(4, "Body", o))
        .tag(48, buildDefineFont2Body(5, "Title", o))
        .showFrame()
        .build();
}

TEST(DefineFont2, ReplaceFontRebuildsTheFirstMatchFromTheInstalledFace) {
    SWFFile movie = test::readMovie(movieWithFonts(), "fonts.swf");
    const Bytes before = serializeSWF(movie);
    (void)replaceFont(movie, "title", "DejaVu Sans");  // names compare case-sensitively
    (void)replaceFont(movie, "Tit", "DejaVu Sans");
    EXPECT_EQ(serializeSWF(movie), before);

    (void)replaceFont(movie, "Title", "DejaVu Sans");
    auto& tags = movie.tags();
    auto* font = dynamic_cast<SWFFont*>(tags[0].get());
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->code(), TagCode::DefineFont2);
    EXPECT_EQ(font->characterId(), 3);
    EXPECT_EQ(font->getFontName(), "Title");
    Bytes body(font->body().begin(), font->body().end());
    EXPECT_EQ(body[4], 5);
    EXPECT_EQ(asString(ByteSpan(body).subspan(5, 5)), "Title");
    EXPECT_EQ(peekUI16(body, 10), 224);
    // A real face gives shapes of every size; every offset leads to a well-formed
    // shape that ends where the next one starts.
    EXPECT_GT(body.size(), 10000u);
    for (int i = 0; i < 224; ++i) {
        EXPECT_EQ(shapeEnd(body, 12 + peekUI16(body, 12 + 2 * i)), 12u + peekUI16(body, 14 + 2 * i)) << i;
    }
    // The other fonts are untouched, the second "Title" included.
    EXPECT_EQ(tags[1]->length(), 7 + 4 + 898 + codesToBounds + 226);
    EXPECT_EQ(tags[2]->length(), 7 + 5 + 898 + codesToBounds + 226);

    // Replaced again, the body is built anew from the same font id.
    (void)replaceWithSystemFont(*font, "Title", "Liberation Serif");
    EXPECT_EQ(font->characterId(), 3);
    EXPECT_NE(Bytes(font->body().begin(), font->body().end()), body);
}

}  // namespace
}  // namespace tarvenox
