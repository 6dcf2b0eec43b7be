// DefineFont2 bodies built from glyph outlines: field positions, offsets that point at
// every shape, the fixed layout block, wide offsets, and the font tag's replacement.
#include <gtest/gtest.h>

#include "NativeOutlineBuilder.h"
#include "ShapeDecoder.h"
#include "font/DefineFont2.h"
#include "font/SWFFont.h"
#include "support/MovieBuilder.h"
#include "swf/ByteIO.h"
#include "swf/SWFBitReader.h"
#include "swf/SWFFile.h"

namespace tarvenox {
namespace {

using test::nativeOutline;
constexpr CurveType L = CurveType::Line;

GlyphOutlines emptyOutlines() {
    GlyphOutlines o;
    for (int i = 0; i < 224; ++i) o.glyphs.push_back(std::make_unique<NullGlyph>());
    for (int c = 0; c < 256; ++c) o.widths[c] = c % 50;
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

TEST(DefineFont2, FieldPositionsForAFiveByteNameAndEmptyGlyphs) {
    Bytes body = buildDefineFont2Body(0x1234, "Title", emptyOutlines());
    EXPECT_EQ(peekUI16(body, 0), 0x1234);  // FontID
    EXPECT_EQ(body[2], 0x90);              // HasLayout, ANSI
    EXPECT_EQ(body[3], 0);                 // LanguageCode
    EXPECT_EQ(body[4], 5);
    EXPECT_EQ(asString(ByteSpan(body).subspan(5, 5)), "Title");
    EXPECT_EQ(peekUI16(body, 10), 224);    // NumGlyphs
    // Offsets from the offset table at 12: 450, 452, ..., 896; CodeTableOffset 898 at 460.
    for (int i = 0; i < 224; ++i) EXPECT_EQ(peekUI16(body, 12 + 2 * i), 450 + 2 * i) << i;
    EXPECT_EQ(peekUI16(body, 460), 898);
    for (int i = 0; i < 224; ++i) {
        EXPECT_EQ(body[462 + 2 * i], 0x10);
        EXPECT_EQ(body[463 + 2 * i], 0x00);
    }
    const std::size_t c = 12 + 898;
    for (int i = 0; i < 224; ++i) EXPECT_EQ(body[c + i], 32 + i);
    EXPECT_EQ(peekUI16(body, c + 224), 927);
    EXPECT_EQ(peekUI16(body, c + 226), 217);
    EXPECT_EQ(peekUI16(body, c + 228), 120);
    for (int i = 0; i < 224; ++i) EXPECT_EQ(peekUI16(body, c + 230 + 2 * i), 18 * ((32 + i) % 50));
    // 224 RECTs of 69 bits: 10000 and four 16-bit zeros each, unpadded: 1932 bytes,
    // followed at once by the kerning count and the end of the body.
    SWFBitReader bounds(ByteSpan(body).subspan(c + 678, 1932));
    for (int i = 0; i < 224; ++i) {
        ASSERT_EQ(bounds.readUB(5), 16u) << i;
        for (int k = 0; k < 4; ++k) ASSERT_EQ(bounds.readUB(16), 0u);
    }
    EXPECT_EQ(bounds.nextByteOffset(), 1932u);
    EXPECT_EQ(peekUI16(body, c + 2610), 0);
    EXPECT_EQ(body.size(), c + 2612);
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
    EXPECT_EQ(body[2], 0x98);  // FontFlagsWideOffsets as well
    const std::size_t table = 10;
    EXPECT_EQ(u32(body, table), 900u);  // 224 + 1 offsets of 4 bytes
    for (int i = 0; i < 224; ++i) {
        EXPECT_EQ(shapeEnd(body, table + u32(body, table + 4 * i)), table + u32(body, table + 4 * (i + 1)));
    }
    std::size_t codeTable = table + u32(body, table + 4 * 224);
    EXPECT_GT(codeTable, 65536u);
    EXPECT_EQ(body[codeTable], 32);
    EXPECT_EQ(body[codeTable + 223], 255);
    EXPECT_EQ(body.size(), codeTable + 2612);
}

TEST(DefineFont2, OutOfRangeNamesAndWidthsStayConsistent) {
    GlyphOutlines o = emptyOutlines();
    o.widths['!'] = 5000;   // 18 x 5000 does not fit a signed 16-bit advance
    o.widths['"'] = -5000;
    Bytes body = buildDefineFont2Body(1, std::string(300, 'n'), o);
    EXPECT_EQ(body[4], 255);  // the name is cut to what FontNameLen can count
    EXPECT_EQ(peekUI16(body, 260), 224);
    const std::size_t advances = 262 + 898 + 230;
    EXPECT_EQ(peekUI16(body, advances + 2), 32767);
    EXPECT_EQ(peekUI16(body, advances + 4), 0x8000);
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
    SWFFile movie(movieWithFonts(), "fonts.swf");
    ASSERT_TRUE(movie.complete());
    const Bytes before = movie.serialize();
    movie.replaceFont("title", "DejaVu Sans");  // names compare case-sensitively
    movie.replaceFont("Tit", "DejaVu Sans");
    EXPECT_EQ(movie.serialize(), before);

    movie.replaceFont("Title", "DejaVu Sans");
    auto& tags = movie.tags();
    auto* font = dynamic_cast<SWFFont*>(tags[0].get());
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->code(), 48);
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
    EXPECT_EQ(tags[1]->length(), 2612u + 7 + 4 + 898);
    EXPECT_EQ(tags[2]->length(), 2612u + 7 + 5 + 898);

    // Replaced again, the body is built anew from the same font id.
    font->replaceWithSystemFont("Title", "Liberation Serif");
    EXPECT_EQ(font->characterId(), 3);
    EXPECT_NE(Bytes(font->body().begin(), font->body().end()), body);
}

}  // namespace
}  // namespace tarvenox
