// Static text in a rebuilt font.
#include "font/StaticTextRemap.h"

#include <functional>

#include "font/FontCodes.h"
#include "swf/SWFFile.h"
#include "swf/SWFStaticText.h"
#include "swf/TagCode.h"

namespace tarvenox {

namespace {

// Hands every glyph entry of the movie's static texts drawn in the font to change, and
// writes back each text it changed.
void forEachGlyphInFont(SWFFile& movie, std::uint16_t fontId, const std::function<void(SWFGlyphEntry&)>& change) {
    for (auto& tag : movie.tags()) {
        const bool rgba = tag->code() == TagCode::DefineText2;
        if (tag->code() != TagCode::DefineText && !rgba) continue;
        auto text = SWFStaticText::read(tag->body(), rgba);
        if (!text) continue;
        bool changed = false;
        std::optional<std::uint16_t> font;  // a record without a font keeps the one before
        for (auto& record : text->records) {
            if (record.fontId) font = record.fontId;
            if (font != fontId) continue;
            for (auto& entry : record.glyphs) {
                change(entry);
                changed = true;
            }
        }
        if (changed) tag->setData(text->write(rgba));
    }
}

}  // namespace

int remapStaticText(SWFFile& movie, std::uint16_t fontId, const std::vector<char32_t>& oldCodePoints) {
    const std::uint16_t space = rebuiltGlyphIndex(U' ').value_or(0);
    int missing = 0;
    forEachGlyphInFont(movie, fontId, [&](SWFGlyphEntry& entry) {
        const char32_t code = entry.index < oldCodePoints.size() ? oldCodePoints[entry.index] : 0;
        auto index = rebuiltGlyphIndex(code);
        if (!index) {
            ++missing;
            index = space;
        }
        entry.index = *index;
    });
    return missing;
}

void reindexStaticText(SWFFile& movie, std::uint16_t fontId, const std::vector<std::uint32_t>& newIndex) {
    forEachGlyphInFont(movie, fontId, [&](SWFGlyphEntry& entry) {
        if (entry.index < newIndex.size()) entry.index = newIndex[entry.index];
    });
}

}  // namespace tarvenox
