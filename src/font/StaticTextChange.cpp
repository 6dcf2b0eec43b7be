// A static text's string replaced by another and laid out again in its font.
#include "font/StaticTextChange.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <vector>

#include "common/Cp1252.h"
#include "common/Result.h"
#include "common/Texts.h"
#include "font/DefineFont2.h"
#include "font/EmbeddedFont.h"
#include "font/FaceGlyphs.h"
#include "font/GlyphAdvances.h"
#include "font/StaticTextRemap.h"
#include "swf/CharacterTags.h"
#include "swf/SWFBitWriter.h"
#include "swf/SWFFile.h"
#include "swf/SWFFont.h"
#include "swf/SWFStaticText.h"
#include "swf/TagCode.h"

namespace tarvenox {

namespace {

bool isStaticText(TagCode code) { return code == TagCode::DefineText || code == TagCode::DefineText2; }

// One line of a static text: where its first record puts the pen, and its style.
struct TextLine {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::optional<Bytes> color;
    std::uint16_t height = 0;
};

// A record that gives a y different from the current line's starts a new line.
std::vector<TextLine> linesOf(const SWFStaticText& text) {
    std::vector<TextLine> lines;
    TextLine pen;
    for (const auto& record : text.records) {
        if (record.fontId) pen.height = record.textHeight;
        if (record.color) pen.color = record.color;
        const bool newLine = lines.empty() || (record.yOffset && *record.yOffset != pen.y);
        if (record.xOffset) pen.x = *record.xOffset;
        if (record.yOffset) pen.y = *record.yOffset;
        if (newLine) lines.push_back(pen);
        for (const auto& glyph : record.glyphs) pen.x += glyph.advance;
    }
    return lines;
}

// "a", "b" or "c"
std::string quotedCharacters(std::u32string_view characters) {
    std::string list;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const std::string quoted = "\"" + unicodeToUtf8(characters.substr(i, 1)) + "\"";
        if (i == 0)
            list = quoted;
        else if (i + 1 == characters.size())
            list = text("staticText.or", {list, quoted});
        else
            list += ", " + quoted;
    }
    return list;
}

std::string fontLabel(const SWFFont& font, const SWFFile& movie) {
    if (font.getFontName().empty()) return text("staticText.fontNumbered", {std::to_string(font.characterId())});
    return text("staticText.fontNamed", {displayMovieText(font.getFontName(), movie.textEncoding())});
}

void cover(SWFRect& bounds, const SWFRect& box) {
    bounds.xMin = std::min(bounds.xMin, box.xMin);
    bounds.xMax = std::max(bounds.xMax, box.xMax);
    bounds.yMin = std::min(bounds.yMin, box.yMin);
    bounds.yMax = std::max(bounds.yMax, box.yMax);
}

constexpr std::size_t maxGlyphsPerRecord = 255;  // GlyphCount is one byte

// The records of the new string, its lines at the old lines' places and further lines
// below; the new glyphs' boxes are added to bounds. Fails when a line would lie beyond
// the reach of a record's 16-bit offset.
Report layOut(SWFStaticText& text, const std::vector<std::u32string>& newLines, const std::vector<TextLine>& oldLines,
              std::uint16_t fontId, const EmbeddedFont& font, const std::vector<double>& advances,
              std::optional<double> inkBlank) {
    double spacing = 0;
    const double height = oldLines.back().height;
    if (oldLines.size() >= 2) {
        spacing = oldLines[1].y - oldLines[0].y;
    } else if (font.layout) {
        spacing = (font.layout->ascent + font.layout->descent + font.layout->leading) * height / font.em;
    } else {
        spacing = 1.2 * height;
    }
    SWFRect bounds = text.bounds;
    std::vector<SWFTextRecord> records;
    // How far a glyph moves the pen to the next one, in em units: its advance in a font
    // with a layout; without one, its ink and the next glyph's ink the usual blank apart,
    // the way the movie's own texts place them.
    const auto pairAdvance = [&](std::uint32_t glyph, std::uint32_t next) {
        if (font.layout || !inkBlank) return advances[glyph];
        const auto left = glyphShapeBounds(font.shapes[glyph]);
        const auto right = glyphShapeBounds(font.shapes[next]);
        if (!left || !right) return advances[glyph];
        return left->xMax + *inkBlank - right->xMin;
    };
    for (std::size_t i = 0; i < newLines.size(); ++i) {
        TextLine line = oldLines[std::min(i, oldLines.size() - 1)];
        if (i >= oldLines.size())
            line.y += static_cast<std::int32_t>(std::lround(spacing * double(i + 1 - oldLines.size())));
        if (newLines[i].empty()) continue;
        if (line.y < std::numeric_limits<std::int16_t>::min() || line.y > std::numeric_limits<std::int16_t>::max()) {
            return Report::failure(tarvenox::text("staticText.lineTooLow", {std::to_string(i + 1)}));
        }
        const double scale = double(line.height) / font.em;
        // A space the font has no glyph for is a blank before the next glyph: added to the
        // advance of the glyph before it, or to where the line starts.
        const auto blank = static_cast<std::int32_t>(std::lround(spaceAdvance(font, advances) * scale));
        std::int32_t x = line.x;
        std::int32_t pending = 0;  // blanks of spaces since the last glyph
        std::optional<std::uint32_t> last;
        std::size_t placed = 0;
        for (const char32_t c : newLines[i]) {
            const std::optional<std::uint32_t> glyph = font.glyphOf(c);
            if (!glyph) {
                pending += blank;
                continue;
            }
            if (last) {
                // The glyph before moves the pen here: now that its neighbour is known.
                const auto advance =
                    static_cast<std::int32_t>(std::lround(pairAdvance(*last, *glyph) * scale)) + pending;
                records.back().glyphs.back().advance = advance;
                x += advance;
            } else {
                x += pending;
            }
            pending = 0;
            if (placed % maxGlyphsPerRecord == 0) {
                records.emplace_back();
                if (placed == 0) {
                    if (x > std::numeric_limits<std::int16_t>::max()) {
                        return Report::failure(tarvenox::text("staticText.lineTooFarRight", {std::to_string(i + 1)}));
                    }
                    records.back().fontId = fontId;
                    records.back().textHeight = line.height;
                    records.back().color = line.color;
                    records.back().xOffset = static_cast<std::int16_t>(x);
                    records.back().yOffset = static_cast<std::int16_t>(line.y);
                }
            }
            ++placed;
            const std::uint32_t index = *glyph;
            // The line's last glyph keeps its own advance.
            records.back().glyphs.push_back({index, static_cast<std::int32_t>(std::lround(advances[index] * scale))});
            if (const auto box = glyphShapeBounds(font.shapes[index])) {
                cover(bounds, {x + static_cast<std::int32_t>(std::floor(box->xMin * scale)),
                               x + static_cast<std::int32_t>(std::ceil(box->xMax * scale)),
                               line.y + static_cast<std::int32_t>(std::floor(box->yMin * scale)),
                               line.y + static_cast<std::int32_t>(std::ceil(box->yMax * scale)), 0});
            }
            last = index;
        }
    }
    text.records = std::move(records);
    text.bounds = bounds;
    return {};
}

// The glyphs of the missing characters, from the face chosen for the font or else the
// installed face of its name. Fails with the end of the line that names what is missing.
Result<std::vector<AddedGlyph>> addedGlyphs(const SWFFont& fontTag, const EmbeddedFont& font,
                                            const std::u32string& missing, const std::string& chosenFace,
                                            MovieTextEncoding encoding) {
    const std::string named = quotedCharacters(missing);
    const std::string family = displayMovieText(fontTag.getFontName(), encoding);
    FontEngine& engine = systemFontEngine();
    if (chosenFace.empty() && (family.empty() || !familyInstalled(engine, family))) {
        return Report::failure(family.empty() ? text("staticText.noFaceAsFont", {named})
                                              : text("staticText.noFaceNamed", {named, family}));
    }
    const std::string face = chosenFace.empty() ? family : chosenFace;
    // Glyphs in a table of Shift-JIS codes could not be given codes of their own, and a
    // font without glyphs keeps no tables to add to.
    const auto glyphs =
        font.shiftJis() || font.shapes.empty() ? std::map<char32_t, FaceGlyph>{} : faceGlyphs(engine, face, missing);
    std::u32string lacking;
    for (char32_t c : missing) {
        if (glyphs.count(c) == 0 || c > 0xFFFF) lacking += c;
    }
    if (!lacking.empty()) {
        return Report::failure(text(chosenFace.empty() ? "staticText.installedFaceLacks" : "staticText.chosenFaceLacks",
                                    {named, face, quotedCharacters(lacking)}));
    }
    const int scale = font.em / 1024;
    std::vector<AddedGlyph> added;
    for (const auto& [c, glyph] : glyphs) {
        SWFBitWriter shape;
        glyph.glyph->write(shape, scale);
        const auto advance = std::clamp<std::int64_t>(std::int64_t(glyph.advance) * scale, -32768, 32767);
        added.push_back({c, shape.take(), static_cast<std::int16_t>(advance), swfBounds(*glyph.glyph, scale)});
    }
    return added;
}

// The advances of the glyphs in their new order: the old glyphs' own, and the added
// glyphs' from their face.
std::vector<double> reorderedAdvances(const EmbeddedFont& font, const std::vector<double>& old,
                                      const std::vector<std::uint32_t>& newIndex,
                                      const std::vector<AddedGlyph>& added) {
    std::vector<double> advances(font.shapes.size());
    for (std::size_t i = 0; i < old.size(); ++i) advances[newIndex[i]] = old[i];
    for (const auto& glyph : added) advances[*font.glyphOf(glyph.codePoint)] = glyph.advance;
    return advances;
}

std::optional<std::uint16_t> firstFont(const SWFStaticText& text) {
    for (const auto& record : text.records) {
        if (record.fontId) return record.fontId;
    }
    return std::nullopt;
}

std::vector<std::u32string> splitLines(std::u32string_view text) {
    std::vector<std::u32string> lines(1);
    for (char32_t c : text) {
        if (c == U'\n') {
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

}  // namespace

Report checkStaticTextId(const SWFFile& movie, std::uint16_t id) {
    const SWFTag* tag = movie.findDefinition(id);
    if (tag == nullptr) return Report::failure(text("staticText.noCharacter", {std::to_string(id)}));
    if (!isStaticText(tag->code())) {
        return Report::failure(text("staticText.notStaticText",
                                    {std::to_string(id), characterKindText(tag->code()), tagName(tag->code())}));
    }
    return {};
}

std::optional<std::uint16_t> staticTextFont(const SWFFile& movie, std::uint16_t id) {
    const SWFTag* tag = movie.findDefinition(id);
    if (tag == nullptr || !isStaticText(tag->code())) return std::nullopt;
    const auto text = SWFStaticText::read(tag->body(), tag->code() == TagCode::DefineText2);
    return text ? firstFont(*text) : std::nullopt;
}

Report changeStaticText(SWFFile& movie, std::uint16_t id, std::u32string_view text, const std::string& chosenFace) {
    if (Report check = checkStaticTextId(movie, id); check.failed()) return check;
    SWFTag& tag = *movie.findDefinition(id);
    const bool rgba = tag.code() == TagCode::DefineText2;
    auto staticText = SWFStaticText::read(tag.body(), rgba);
    if (!staticText) return Report::failure(tarvenox::text("staticText.unreadable"));
    const std::optional<std::uint16_t> fontId = firstFont(*staticText);
    if (!fontId) return Report::failure(tarvenox::text("staticText.noFont"));
    auto* fontTag = dynamic_cast<SWFFont*>(movie.findDefinition(*fontId));
    if (fontTag == nullptr) {
        return Report::failure(tarvenox::text("staticText.fontNotSearchable", {std::to_string(*fontId)}));
    }
    auto font = EmbeddedFont::read(fontTag->body(), fontTag->code(), movie.textEncoding());
    if (!font) return Report::failure(tarvenox::text("staticText.fontUnreadable", {fontLabel(*fontTag, movie)}));

    std::u32string missing;
    for (char32_t c : text) {
        if (c == U'\n' || c == U' ' || font->glyphOf(c) || missing.find(c) != std::u32string::npos) continue;
        missing += c;
    }
    // Measured on the movie's texts while they still index the font as it is.
    std::vector<double> advances = glyphAdvances(*font, movie, *fontId);
    const std::optional<double> inkBlank = usualInkBlank(*font, movie, *fontId);
    std::vector<std::uint32_t> newIndex;
    if (!missing.empty()) {
        auto added = addedGlyphs(*fontTag, *font, missing, chosenFace, movie.textEncoding());
        if (!added)
            return Report::failure(
                tarvenox::text("staticText.fontLacks", {fontLabel(*fontTag, movie), added.report().reason()}));
        newIndex = font->addGlyphs(*added);
        advances = reorderedAdvances(*font, advances, newIndex, *added);
    }

    const std::vector<TextLine> oldLines = linesOf(*staticText);
    if (Report laid = layOut(*staticText, splitLines(text), oldLines, *fontId, *font, advances, inkBlank);
        laid.failed()) {
        return laid;
    }
    // Only now that nothing can fail is the movie changed.
    if (!newIndex.empty()) {
        fontTag->setData(font->write());
        reindexStaticText(movie, *fontId, newIndex);
        // Alignment zones describe the old glyphs one by one.
        std::erase_if(movie.tags(), [&](const auto& other) {
            return other->code() == TagCode::DefineFontAlignZones && other->characterId() == *fontId;
        });
    }
    tag.setData(staticText->write(rgba));
    return {};
}

}  // namespace tarvenox
