// Rebuilding a font that static text is drawn in: the text's glyph indices follow their
// characters into the new font; DefineFont3 is rebuilt on its finer em; names ending in
// a NUL byte are matched and kept.
#include <gtest/gtest.h>

#include "font/FontReplacement.h"

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "font/DefineFont2.h"
#include "font/FontCodes.h"
#include "support/MovieBuilder.h"
#include "support/ReadMovie.h"
#include "swf/SWFFile.h"
#include "swf/SWFFont.h"
#include "swf/SWFStaticText.h"

namespace tarvenox {
namespace {

using test::operator+;

// A DefineFont2 without layout whose three empty glyphs carry the given codes, 8-bit or
// 16-bit.
Bytes smallFont(std::uint16_t id, const std::string& name, std::vector<std::uint16_t> codes, bool wide) {
    Bytes body = test::le16(id) +
                 Bytes{static_cast<std::uint8_t>(wide ? 0x04 : 0x00), 0, static_cast<std::uint8_t>(name.size())};
    body.insert(body.end(), name.begin(), name.end());
    writeUI16(body, static_cast<std::uint32_t>(codes.size()));
    const std::size_t table = 2 * (codes.size() + 1);
    for (std::size_t i = 0; i <= codes.size(); ++i) writeUI16(body, static_cast<std::uint32_t>(table + 2 * i));
    for (std::size_t i = 0; i < codes.size(); ++i) body.insert(body.end(), {0x10, 0x00});
    for (std::uint16_t code : codes) {
        if (wide)
            writeUI16(body, code);
        else
            body.push_back(static_cast<std::uint8_t>(code));
    }
    return body;
}

SWFStaticText staticText(std::vector<std::pair<std::uint16_t, std::vector<std::uint32_t>>> runs) {
    SWFStaticText text;
    text.id = 20;
    text.bounds = {0, 2000, 0, 400, 0};
    for (auto& [font, indices] : runs) {
        SWFTextRecord record;
        if (font != 0) {
            record.fontId = font;
            record.textHeight = 240;
        }
        record.color = Bytes{1, 2, 3, 4};
        record.xOffset = 40;
        for (std::uint32_t index : indices) record.glyphs.push_back({index, 100 + static_cast<std::int32_t>(index)});
        text.records.push_back(std::move(record));
    }
    return text;
}

std::vector<std::vector<std::uint32_t>> indicesOf(const SWFTag& tag) {
    auto text = SWFStaticText::read(tag.body(), tag.code() == TagCode::DefineText2);
    EXPECT_TRUE(text.has_value());
    std::vector<std::vector<std::uint32_t>> out;
    for (const auto& record : text->records) {
        out.emplace_back();
        for (const auto& entry : record.glyphs) out.back().push_back(entry.index);
    }
    return out;
}

TEST(StaticText, ReadsWhatItWritesAndRefusesWhatItCouldNotKeep) {
    const SWFStaticText text = staticText({{7, {0, 1, 2}}, {0, {3}}});
    const Bytes body = text.write(true);
    auto again = SWFStaticText::read(body, true);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->write(true), body);
    EXPECT_EQ(again->records[1].fontId, std::nullopt);
    EXPECT_EQ(again->records[0].glyphs[2].advance, 102);
    // Cut short, or with bytes after the end of its records.
    EXPECT_FALSE(SWFStaticText::read(ByteSpan(body).first(body.size() - 2), true));
    EXPECT_FALSE(SWFStaticText::read(body + Bytes{0}, true));
}

TEST(StaticText, GlyphIndicesFollowTheirCharactersIntoTheRebuiltFont) {
    // A SWF 5 movie: font 7 holds "A", the euro sign (Windows-1252 0x80) and a code 0x05
    // that names no character the new font has; font 8 is not rebuilt. The text's first
    // record runs in font 7, its second keeps font 7 without naming it, its third
    // switches to font 8.
    SWFStaticText text = staticText({{7, {0, 1, 2}}, {0, {1}}, {8, {0, 1}}});
    Bytes movieBytes = test::MovieBuilder(5)
                           .tag(48, smallFont(7, "Title", {'A', 0x80, 0x05}, false))
                           .tag(48, smallFont(8, "Other", {'A', 'B'}, false))
                           .tag(33, text.write(true))
                           .showFrame()
                           .build();
    SWFFile movie = test::readMovie(movieBytes, "text.swf");
    (void)replaceFont(movie, "Title", "DejaVu Sans");
    const std::uint32_t a = *rebuiltGlyphIndex(U'A'), euro = *rebuiltGlyphIndex(U'\u20AC'),
                        space = *rebuiltGlyphIndex(U' ');
    EXPECT_EQ(indicesOf(*movie.tags()[2]), (std::vector<std::vector<std::uint32_t>>{{a, euro, space}, {euro}, {0, 1}}));
    // Old codes from a wide table of a later movie are Unicode already.
    EXPECT_EQ(fontCodePoints(smallFont(7, "T", {0x20AC, 'z'}, true), MovieTextEncoding::Utf8),
              (std::vector<char32_t>{0x20AC, 'z'}));
}

TEST(StaticText, DefineFont3IsRebuiltOnItsFinerEmAndLosesItsAlignmentZones) {
    GlyphOutlines none;
    for (int i = 0; i < 224; ++i) none.glyphs.push_back(std::make_unique<NullGlyph>());
    // The font's name ends in a NUL byte, as Flash authoring tools write it; the font is
    // bold, which texts may ask for by name.
    const std::string nulName("Verdana\0", 8);
    Bytes movieBytes = test::MovieBuilder()
                           .tag(75, buildDefineFont3Body(4, nulName, none, 0x01))
                           .tag(73, test::le16(4) + Bytes{0x01})  // DefineFontAlignZones
                           .tag(48, buildDefineFont2Body(5, "Plain", none))
                           .showFrame()
                           .build();
    SWFFile movie = test::readMovie(movieBytes, "font3.swf");
    auto& font3 = dynamic_cast<SWFFont&>(*movie.tags()[0]);
    EXPECT_EQ(font3.getFontName(), "Verdana");
    (void)replaceFont(movie, "Verdana", "DejaVu Sans");
    (void)replaceFont(movie, "Plain", "DejaVu Sans");
    ASSERT_EQ(movie.tags().size(), 3u);  // the alignment zones are gone
    auto& font2 = dynamic_cast<SWFFont&>(*movie.tags()[1]);
    EXPECT_EQ(font3.code(), TagCode::DefineFont3);
    EXPECT_EQ(font3.nameBytes(), nulName);
    EXPECT_EQ(font3.body()[2], 0x85);  // HasLayout, WideCodes, Bold kept

    // Ascent, descent, leading and every advance are 20 times those of the DefineFont2.
    auto layout = [](const SWFFont& font) {
        ByteSpan b = font.body();
        const std::size_t table = 7 + b[4];
        const std::size_t codes =
            table + ((b[2] & 0x08) ? b[table + 4 * 224] | b[table + 4 * 224 + 1] << 8 | b[table + 4 * 224 + 2] << 16
                                   : peekUI16(b, table + 2 * 224));
        return codes + 2 * 224;
    };
    const std::size_t l3 = layout(font3), l2 = layout(font2);
    for (std::size_t i = 0; i < 3 + 224; ++i) {
        EXPECT_EQ(peekUI16(font3.body(), l3 + 2 * i), 20 * peekUI16(font2.body(), l2 + 2 * i)) << i;
    }
}

}  // namespace
}  // namespace tarvenox
