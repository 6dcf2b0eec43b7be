// Static texts read back as strings.
#include "support/TextDecoding.h"

#include "font/FontCodes.h"
#include "swf/SWFFile.h"
#include "swf/SWFStaticText.h"

namespace tarvenox::test {

std::u32string staticTextString(const SWFFile& movie, std::uint16_t id) {
    std::optional<SWFStaticText> text;
    for (const auto& tag : movie.tags()) {
        const bool rgba = tag->code() == TagCode::DefineText2;
        if ((rgba || tag->code() == TagCode::DefineText) && tag->characterId() == id) {
            text = SWFStaticText::read(tag->body(), rgba);
        }
    }
    if (!text) return {};
    std::vector<char32_t> points;
    std::u32string s;
    std::optional<std::int16_t> y;
    for (const auto& record : text->records) {
        if (record.fontId && points.empty()) {
            for (const auto& tag : movie.tags()) {
                if ((tag->code() == TagCode::DefineFont2 || tag->code() == TagCode::DefineFont3) &&
                    tag->characterId() == *record.fontId) {
                    points = fontCodePoints(tag->body(), movie.textEncoding());
                }
            }
        }
        if (record.yOffset && y && *record.yOffset != *y) s += U'\n';
        if (record.yOffset) y = record.yOffset;
        for (const auto& glyph : record.glyphs) s += glyph.index < points.size() ? points[glyph.index] : U'\uFFFD';
    }
    return s;
}

}  // namespace tarvenox::test
