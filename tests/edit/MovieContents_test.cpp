// What a save can change, described from a movie holding one of each kind.
#include "edit/MovieContents.h"

#include <gtest/gtest.h>

#include "font/DefineFont2.h"
#include "font/FontCodes.h"
#include "font/Glyph.h"
#include "support/MovieBuilder.h"
#include "support/PictureFiles.h"
#include "support/ReadMovie.h"
#include "swf/SWFDefineShape.h"
#include "swf/SWFStaticText.h"

namespace tarvenox {
namespace {

using test::cstr;
using test::le16;
using test::le32;
using test::operator+;

Bytes fontBody(std::uint16_t id, const std::string& name) {
    GlyphOutlines empty;
    for (int i = 0; i < 224; ++i) empty.glyphs.push_back(std::make_unique<NullGlyph>());
    return buildDefineFont2Body(id, name, empty);
}

std::vector<SWFGlyphEntry> glyphs(std::u32string_view text) {
    std::vector<SWFGlyphEntry> out;
    for (char32_t c : text) out.push_back({rebuiltGlyphIndex(c).value_or(999), 100});
    return out;
}

// A static text in font 1: "Hi" on one line, then on the next a record without a font
// of its own, then a glyph past the font's table on the same line.
Bytes staticText(std::uint16_t id) {
    SWFStaticText text;
    text.id = id;
    text.records.resize(3);
    text.records[0].fontId = 1;
    text.records[0].textHeight = 240;
    text.records[0].yOffset = 300;
    text.records[0].glyphs = glyphs(U"Hi");
    text.records[1].yOffset = 600;
    text.records[1].glyphs = glyphs(U"\u00e9t\u00e9");
    text.records[2].xOffset = 40;
    text.records[2].yOffset = 600;
    text.records[2].glyphs = {{500, 100}};
    return text.write(false);
}

// Shape id with a bitmap fill of bitmapId, 100 x 50 pixels.
Bytes shape(std::uint16_t id, std::uint16_t bitmapId) {
    SWFFillStyle fill;
    fill.type = SWFFillStyle::kClippedBitmap;
    fill.bitmapId = bitmapId;
    SWFShapeStyles styles;
    styles.shapeId = id;
    styles.bounds = {0, 2000, 0, 1000, 0};
    styles.fillStyles = {fill};
    return styles.write() + Bytes{0x10, 0x00};
}

// PlaceObject2 of a character at depth 1, moved by (200, 400) twips and scaled twice
// across.
Bytes placed(std::uint16_t id) {
    SWFBitWriter matrix;
    SWFMatrix{.hasScale = true, .scaleX = 2 << 16, .scaleY = 1 << 16, .translateX = 200, .translateY = 400}.write(
        matrix);
    return Bytes{0x06} + le16(1) + le16(id) + matrix.take();  // HasMatrix, HasCharacter
}

Bytes editText(std::uint16_t id, const std::string& variable, const std::string& text) {
    // Empty RECT; HasText and HasFont; font 1 at 12 points.
    return le16(id) + Bytes{0x00, 0x81, 0x00} + le16(1) + le16(240) + cstr(variable) + cstr(text);
}

Bytes push(const Bytes& values) { return Bytes{0x96} + le16(static_cast<std::uint16_t>(values.size())) + values; }

TEST(MovieContents, DescribesEveryKindAndLeavesOutWhatCannotBeRead) {
    const Bytes lossless2 = le16(2) + Bytes{5} + le16(47) + le16(33) + Bytes{0x78, 0x9C, 0x03, 0x00, 0, 0, 0, 1};
    const Bytes jpeg = test::encodeJpeg(40, 30, false);
    const Bytes adpcm = Bytes{0x16} + le32(1000) + Bytes(40, 0x11);
    // A constant pool ("count", "Hallo"), then count = "Hallo" by constants, n = 3, on = true.
    const Bytes pool = Bytes{0x88} + le16(14) + le16(2) + cstr("count") + cstr("Hallo");
    const Bytes actions = pool + push(Bytes{0x08, 0, 0x08, 1}) + Bytes{0x1D} +
                          push(Bytes{0x00} + cstr("n") + Bytes{0x07} + le32(3)) + Bytes{0x1D} +
                          push(Bytes{0x00} + cstr("on") + Bytes{0x05, 1}) + Bytes{0x1D} + Bytes{0x00};
    const Bytes movie = test::MovieBuilder(8)
                            .background(0x10, 0x20, 0x30)
                            .tag(48, fontBody(1, "Title"))
                            .tag(36, lossless2)
                            .tag(35, le16(3) + le32(jpeg.size()) + jpeg + Bytes{0x78, 0x9C, 0x03, 0x00})
                            .tag(2, shape(4, 2))
                            .tag(14, le16(5) + adpcm)
                            .tag(37, editText(6, "title",
                                              "Gr\xC3\xBC\xC3\x9F"
                                              "e"))
                            .tag(37, editText(7, "", "no variable"))
                            .tag(37, le16(8) + Bytes{0x00, 0x80, 0x00} + cstr("cut"))  // text missing
                            .tag(11, staticText(9))
                            .tag(11, le16(10))  // cut short
                            .tag(48, fontBody(11, "Title"))
                            .tag(56, le16(2) + le16(2) + cstr("logo") + le16(5) + cstr("music"))
                            .tag(26, placed(4))
                            .tag(12, actions)
                            .showFrame()
                            .tag(26, placed(4))  // in the second frame: not listed
                            .build();
    const MovieContents c = describeChangeable(test::readMovie(movie));

    EXPECT_EQ(c.background, 0x102030);
    ASSERT_EQ(c.fonts.size(), 2u);
    EXPECT_EQ(c.fonts[0].name, "Title");
    EXPECT_EQ(c.fonts[0].glyphCount, 224);
    EXPECT_EQ(c.fonts[1].name, "11") << "the name leads to the first font only";

    ASSERT_EQ(c.pictures.size(), 2u);
    const PictureSlot& logo = c.pictures[0];
    EXPECT_EQ(logo.name, "logo");
    EXPECT_EQ(logo.kind, "lossless");
    EXPECT_EQ(logo.width, 47);
    EXPECT_EQ(logo.height, 33);
    EXPECT_TRUE(logo.alpha);
    EXPECT_EQ(logo.shapes, std::vector<std::uint16_t>{4});
    ASSERT_EQ(logo.placements.size(), 1u);
    EXPECT_EQ(logo.placements[0].bounds.x, 10);
    EXPECT_EQ(logo.placements[0].bounds.y, 20);
    EXPECT_EQ(logo.placements[0].bounds.width, 200);
    EXPECT_EQ(logo.placements[0].bounds.height, 50);
    const PictureSlot& jpeg3 = c.pictures[1];
    EXPECT_EQ(jpeg3.name, "3");
    EXPECT_EQ(jpeg3.tag, "DefineBitsJPEG3");
    EXPECT_EQ(jpeg3.width, 40);
    EXPECT_EQ(jpeg3.height, 30);
    EXPECT_TRUE(jpeg3.alpha);
    EXPECT_TRUE(jpeg3.placements.empty());

    ASSERT_EQ(c.sounds.size(), 1u);
    EXPECT_EQ(c.sounds[0].name, "music");
    EXPECT_EQ(c.sounds[0].sampleCount, 1000u);

    ASSERT_EQ(c.texts.size(), 1u);
    EXPECT_EQ(c.texts[0].variable, "title");
    EXPECT_EQ(c.texts[0].id, 6);
    EXPECT_EQ(c.texts[0].text, "Gr\xC3\xBC\xC3\x9F"
                               "e");
    ASSERT_TRUE(c.texts[0].font);
    EXPECT_EQ(c.texts[0].font->name, "Title");

    ASSERT_EQ(c.staticTexts.size(), 1u);
    EXPECT_EQ(c.staticTexts[0].id, 9);
    EXPECT_EQ(c.staticTexts[0].text, "Hi\n\xC3\xA9t\xC3\xA9\xEF\xBF\xBD");
    ASSERT_EQ(c.staticTexts[0].fonts.size(), 1u);
    EXPECT_EQ(c.staticTexts[0].fonts[0].id, 1);

    ASSERT_EQ(c.variables.size(), 3u);
    EXPECT_EQ(c.variables[0].name, "count");
    EXPECT_EQ(c.variables[0].type, 's');
    EXPECT_EQ(c.variables[0].value, "Hallo");
    EXPECT_EQ(c.variables[1].type, 'i');
    EXPECT_EQ(c.variables[1].value, "3");
    EXPECT_EQ(c.variables[2].type, 'b');
    EXPECT_EQ(c.variables[2].value, "true");
}

}  // namespace
}  // namespace tarvenox
