// Static text in a rebuilt font.
#include "font/StaticTextRemap.h"

#include "font/FontCodes.h"
#include "swf/SWFFile.h"
#include "swf/SWFStaticText.h"
#include "swf/TagCode.h"

namespace tarvenox {

int remapStaticText(SWFFile& movie, std::uint16_t fontId, const std::vector<char32_t>& oldCodePoints) {
    const std::uint16_t space = rebuiltGlyphIndex(U' ').value_or(0);
    int missing = 0;
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
                const char32_t code = entry.index < oldCodePoints.size() ? oldCodePoints[entry.index] : 0;
                auto index = rebuiltGlyphIndex(code);
                if (!index) {
                    ++missing;
                    index = space;
                }
                changed = true;
                entry.index = *index;
            }
        }
        if (changed) tag->setData(text->write(rgba));
    }
    return missing;
}

}  // namespace tarvenox
