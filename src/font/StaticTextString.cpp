// Reading static text back as characters.
#include "font/StaticTextString.h"

#include <algorithm>

#include "font/FontCodes.h"
#include "swf/SWFFile.h"
#include "swf/SWFFont.h"
#include "swf/SWFStaticText.h"

namespace tarvenox {

FontCodeTables::FontCodeTables(const SWFFile& movie) : encoding_(movie.textEncoding()) {
    for (const auto& tag : movie.tags()) {
        if (auto* font = dynamic_cast<const SWFFont*>(tag.get()); font && tag->length() >= 2) {
            fonts_.emplace(tag->characterId(), font);  // the first of an id is the one players use
        }
    }
}

const SWFFont* FontCodeTables::font(std::uint16_t id) const {
    auto it = fonts_.find(id);
    return it == fonts_.end() ? nullptr : it->second;
}

const std::vector<char32_t>& FontCodeTables::codePoints(std::uint16_t id) {
    auto cached = codes_.find(id);
    if (cached != codes_.end()) return cached->second;
    const SWFFont* tag = font(id);
    return codes_.emplace(id, tag ? fontCodePoints(tag->body(), encoding_) : std::vector<char32_t>{}).first->second;
}

std::u32string staticTextString(const SWFStaticText& text, FontCodeTables& fonts) {
    constexpr char32_t unknown = U'\uFFFD';
    std::u32string out;
    std::optional<std::uint16_t> font;
    std::optional<std::int16_t> lineY;
    bool newLine = false;  // a '\n' is due before the next character
    for (const auto& record : text.records) {
        if (record.fontId) font = record.fontId;
        if (record.yOffset) {
            if (lineY && *record.yOffset != *lineY) newLine = true;
            lineY = record.yOffset;
        }
        const std::vector<char32_t>* codes = font ? &fonts.codePoints(*font) : nullptr;
        for (const auto& entry : record.glyphs) {
            if (newLine && !out.empty()) out += U'\n';
            newLine = false;
            const char32_t code = codes && entry.index < codes->size() ? (*codes)[entry.index] : 0;
            out += code == 0 ? unknown : code;
        }
    }
    return out;
}

std::u32string staticTextString(const SWFFile& movie, const SWFStaticText& text) {
    FontCodeTables fonts(movie);
    return staticTextString(text, fonts);
}

std::vector<std::uint16_t> staticTextFonts(const SWFStaticText& text) {
    std::vector<std::uint16_t> ids;
    for (const auto& record : text.records) {
        if (record.fontId && std::find(ids.begin(), ids.end(), *record.fontId) == ids.end()) {
            ids.push_back(*record.fontId);
        }
    }
    return ids;
}

}  // namespace tarvenox
