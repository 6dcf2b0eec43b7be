// A static text given a new string: laid out with its font's advances at its lines'
// places, refused when characters are missing, and glyphs added to its font in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "font/EmbeddedFont.h"
#include "font/StaticTextChange.h"
#include "support/MovieBuilder.h"
#include "support/ReadMovie.h"
#include "support/TextDecoding.h"
#include "swf/SWFBitWriter.h"
#include "swf/SWFFile.h"
#include "swf/SWFStaticText.h"

namespace tarvenox {
namespace {

// A glyph SHAPE: the box from (x0, -height) to (x1, 0) in em units, or no edges.
Bytes boxShape(int x0, int x1, int height) {
    SWFBitWriter w;
    w.writeBits(4, 1);  // NumFillBits
    w.writeBits(4, 0);  // NumLineBits
    if (x1 > x0) {
        w.writeBits(6, 0b0'00011);  // StyleChangeRecord: FillStyle0, MoveTo
        w.writeBits(5, 16);
        w.writeSignedBits(16, x0);
        w.writeSignedBits(16, -height);
        w.writeBits(1, 1);  // FillStyle0
        for (auto [dx, dy] : {std::pair{x1 - x0, 0}, {0, height}, {x0 - x1, 0}, {0, -height}}) {
            w.writeBits(2, 0b11);  // straight edge
            w.writeBits(4, 14);    // 16 bits
            w.writeBits(1, 1);     // GeneralLineFlag
            w.writeSignedBits(16, dx);
            w.writeSignedBits(16, dy);
        }
    }
    w.writeBits(6, 0);  // EndShapeRecord
    return w.take();
}

struct TestGlyph {
    char32_t code;
    int x0, x1;
    std::int16_t advance;
};

// ' ', 'A' and 'B' unless told otherwise, in units of a 1024 em; unit 20 gives them in
// a DefineFont3's em units, which are 20 times finer.
Bytes fontBody(const std::string& name, bool layout,
               std::vector<TestGlyph> glyphs = {{U' ', 0, 0, 256}, {U'A', 0, 400, 512}, {U'B', 50, 500, 600}},
               int unit = 1) {
    for (auto& glyph : glyphs) {
        glyph.x0 *= unit;
        glyph.x1 *= unit;
        glyph.advance = static_cast<std::int16_t>(glyph.advance * unit);
    }
    EmbeddedFont font;
    font.head =
        Bytes{1, 0, static_cast<std::uint8_t>(0x04 | (layout ? 0x80 : 0)), 0, static_cast<std::uint8_t>(name.size())};
    font.head.insert(font.head.end(), name.begin(), name.end());
    if (layout) font.layout = EmbeddedFontLayout{900, 200, 100, {}, {}, Bytes{0, 0}};
    for (const auto& glyph : glyphs) {
        font.shapes.push_back(boxShape(glyph.x0, glyph.x1, 700));
        font.codes.push_back(static_cast<std::uint16_t>(glyph.code));
        if (layout) {
            font.layout->advances.push_back(glyph.advance);
            font.layout->bounds.push_back({glyph.x0, glyph.x1, -700, 0, 0});
        }
    }
    return font.write();
}

struct Line {
    std::int16_t x, y;
    std::vector<SWFGlyphEntry> glyphs;
    std::uint8_t grey = 0;
};

Bytes textBody(std::uint16_t id, std::vector<Line> lines, SWFRect bounds = {100, 260, 0, 900, 0}) {
    SWFStaticText text;
    text.id = id;
    text.bounds = bounds;
    for (const auto& line : lines) {
        SWFTextRecord record;
        if (text.records.empty()) {
            record.fontId = 1;
            record.textHeight = 400;
        }
        record.color = Bytes{line.grey, line.grey, line.grey, 255};
        record.xOffset = line.x;
        record.yOffset = line.y;
        record.glyphs = line.glyphs;
        text.records.push_back(std::move(record));
    }
    return text.write(true);
}

SWFStaticText textOf(const SWFFile& movie, std::uint16_t id) {
    for (const auto& tag : movie.tags()) {
        if (tag->code() == TagCode::DefineText2 && tag->characterId() == id)
            return *SWFStaticText::read(tag->body(), true);
    }
    ADD_FAILURE() << "no text " << id;
    return {};
}

const SWFTag& fontTagOf(const SWFFile& movie) {
    for (const auto& tag : movie.tags()) {
        if (tag->code() == TagCode::DefineFont2 || tag->code() == TagCode::DefineFont3) return *tag;
    }
    throw std::logic_error("no font");
}

SWFFile movieOf(const Bytes& font, const std::vector<Bytes>& texts, int fontCode = 48) {
    test::MovieBuilder builder(8);
    builder.tag(fontCode, font);
    if (fontCode == 75) builder.tag(73, Bytes{1, 0, 0x01});  // DefineFontAlignZones of font 1
    for (const auto& text : texts) builder.tag(33, text);
    return test::readMovie(builder.showFrame().build(), "text.swf");
}

TEST(StaticTextChange, LinesKeepTheirPlacesAndStylesAndTheBoundsGrow) {
    // Line one at (100, 300) in black, line two at (150, 900) in grey 9, height 400: one
    // em of 1024 units is 400 twips.
    SWFFile movie = movieOf(fontBody("Tarvenox Test", true),
                            {textBody(10, {{100, 300, {{1, 210}}, 0}, {150, 900, {{2, 240}}, 9}})});
    ASSERT_FALSE(changeStaticText(movie, 10, U"AB\nB A\nA").failed());
    const SWFStaticText text = textOf(movie, 10);
    ASSERT_EQ(text.records.size(), 3u);
    struct Expected {
        std::int16_t x, y;
        std::uint8_t grey;
        std::vector<std::pair<std::uint32_t, std::int32_t>> glyphs;  // index, advance
    };
    // A: 512 * 400 / 1024 = 200, B: 600 * 400 / 1024 = 234.4, space 100; the third line
    // at the first two's distance below the second.
    const Expected expected[] = {
        {100, 300, 0, {{1, 200}, {2, 234}}}, {150, 900, 9, {{2, 234}, {0, 100}, {1, 200}}}, {150, 1500, 9, {{1, 200}}}};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const auto& record = text.records[i];
        EXPECT_EQ(record.fontId, std::optional<std::uint16_t>(1));
        EXPECT_EQ(record.textHeight, 400);
        EXPECT_EQ(record.xOffset, expected[i].x);
        EXPECT_EQ(record.yOffset, expected[i].y);
        EXPECT_EQ(record.color, (Bytes{expected[i].grey, expected[i].grey, expected[i].grey, 255}));
        std::vector<std::pair<std::uint32_t, std::int32_t>> glyphs;
        for (const auto& g : record.glyphs) glyphs.emplace_back(g.index, g.advance);
        EXPECT_EQ(glyphs, expected[i].glyphs);
    }
    // The old bounds grow to the last A on line two (484 + 156.25) and down to line three.
    EXPECT_EQ((std::array{text.bounds.xMin, text.bounds.xMax, text.bounds.yMin, text.bounds.yMax}),
              (std::array{100, 641, 0, 1500}));
    EXPECT_EQ(test::staticTextString(movie, 10), U"AB\nB A\nA");
}

TEST(StaticTextChange, ExtraLinesOfAOneLineTextFollowTheFontOrTheHeight) {
    // Without a layout the advances are those the text gives: A 210 twips at height 400.
    for (bool layout : {true, false}) {
        SCOPED_TRACE(layout);
        SWFFile movie = movieOf(fontBody("Tarvenox Test", layout), {textBody(10, {{100, 300, {{1, 210}, {2, 240}}}})});
        ASSERT_FALSE(changeStaticText(movie, 10, U"A\n\nBA").failed());
        const SWFStaticText text = textOf(movie, 10);
        ASSERT_EQ(text.records.size(), 2u);  // an empty line has no record
        // (900 + 200 + 100) * 400 / 1024 = 468.75 per line with a layout, 1.2 x 400 without.
        EXPECT_EQ(text.records[1].yOffset, layout ? 300 + 938 : 300 + 960);
        EXPECT_EQ(text.records[1].glyphs[1].advance, layout ? 200 : 210);
    }
}

TEST(StaticTextChange, SpacesAreBlanksInAFontWithoutASpaceGlyph) {
    // The font has A and B only; the text places "AB BA" with a space's blank (117 twips,
    // half a typical advance) after the first B, as authoring tools do.
    for (bool layout : {true, false}) {
        SCOPED_TRACE(layout);
        SWFFile movie = movieOf(fontBody("Tarvenox Test", layout, {{U'A', 0, 400, 512}, {U'B', 50, 500, 600}}),
                                {textBody(10, {{100, 300, {{0, 200}, {1, 351}, {1, 234}, {0, 200}}}})});
        EXPECT_EQ(test::staticTextString(movie, 10), U"AB BA");
        ASSERT_FALSE(changeStaticText(movie, 10, U" BA  AB").failed());
        // Blanks again, no glyph added; leading blanks move the line, two spaces read as one.
        EXPECT_EQ(
            EmbeddedFont::read(fontTagOf(movie).body(), TagCode::DefineFont2, MovieTextEncoding::Utf8)->shapes.size(),
            2u);
        EXPECT_EQ(test::staticTextString(movie, 10), U"BA AB");
        EXPECT_GT(*textOf(movie, 10).records[0].xOffset, 100);
    }
}

TEST(StaticTextChange, RefusesWhatItCannotDoAndLeavesTheMovieAsItWas) {
    SWFFile movie = movieOf(fontBody("Tarvenox Missing Face", true), {textBody(10, {{100, 300, {{1, 210}}}})});
    const Bytes before = Bytes(movie.tags()[1]->body().begin(), movie.tags()[1]->body().end());
    const struct {
        std::uint16_t id;
        std::u32string text;
        std::string reason;
    } cases[] = {
        {10, U"Bä €A ä",
         "the font \"Tarvenox Missing Face\" has no \"ä\" or \"€\", and no installed face named Tarvenox Missing "
         "Face gives them"},
        {1, U"A", "character 1 is a font (DefineFont2), not a static text"},
        {99, U"A", "the movie has no character 99"},
    };
    for (const auto& c : cases) {
        const Report report = changeStaticText(movie, c.id, c.text);
        EXPECT_TRUE(report.failed());
        EXPECT_EQ(report.reason(), c.reason);
    }
    EXPECT_TRUE(
        std::equal(before.begin(), before.end(), movie.tags()[1]->body().begin(), movie.tags()[1]->body().end()));
}

TEST(StaticTextChange, MissingCharactersJoinTheFontInOrderAndOtherTextsFollow) {
    // The font holds A, C and Z; text 11 in it reads "CZ". B goes between A and C, ł (not
    // in Windows-1252) after Z. DejaVu Sans is installed under the font's own name, or
    // chosen for a font whose name no face has.
    const struct {
        std::string name;
        std::string chosen;
        int code;
    } cases[] = {{"DejaVu Sans", "", 48}, {"Tarvenox Missing Face", "DejaVu Sans", 48}, {"DejaVu Sans", "", 75}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + " " + std::to_string(c.code));
        const Bytes font = fontBody(c.name, true, {{U'A', 0, 400, 512}, {U'C', 0, 400, 512}, {U'Z', 0, 400, 512}},
                                    c.code == 75 ? 20 : 1);
        SWFFile movie = movieOf(
            font, {textBody(10, {{0, 300, {{0, 200}}}}), textBody(11, {{0, 300, {{1, 200}, {2, 200}}}})}, c.code);
        const Report report = changeStaticText(movie, 10, U"ABł\nZA", c.chosen);
        ASSERT_FALSE(report.failed()) << report.reason();
        EXPECT_EQ(test::staticTextString(movie, 10), U"ABł\nZA");
        EXPECT_EQ(test::staticTextString(movie, 11), U"CZ");
        const SWFTag& fontTag = fontTagOf(movie);
        const auto grown = EmbeddedFont::read(fontTag.body(), fontTag.code(), MovieTextEncoding::Utf8);
        ASSERT_TRUE(grown);
        EXPECT_EQ(grown->codes, (std::vector<std::uint16_t>{'A', 'B', 'C', 'Z', 0x142}));
        ASSERT_TRUE(grown->layout);
        EXPECT_EQ(grown->layout->advances.size(), 5u);
        EXPECT_EQ(grown->layout->bounds.size(), 5u);
        // A real outline, on the em of the tag.
        EXPECT_GT(grown->shapes[1].size(), 10u);
        EXPECT_GT(grown->layout->advances[1], c.code == 75 ? 5000 : 250);
        // The alignment zones of the old glyphs are gone.
        EXPECT_EQ(std::count_if(movie.tags().begin(), movie.tags().end(),
                                [](const auto& tag) { return tag->code() == TagCode::DefineFontAlignZones; }),
                  0);
    }
}

}  // namespace
}  // namespace tarvenox
