// The face of a static text's missing characters.
#include "edit/StaticTextFace.h"

#include "font/StaticTextChange.h"
#include "swf/CharacterTags.h"
#include "swf/MovieText.h"
#include "swf/SWFFile.h"
#include "swf/SWFFont.h"

namespace tarvenox {

std::string faceForStaticText(SWFFile& movie, std::uint16_t textId, const Replacements& fonts) {
    const auto fontId = staticTextFont(movie, textId);
    if (!fontId) return {};
    for (const auto& tag : movie.tags()) {
        const auto* font = dynamic_cast<const SWFFont*>(tag.get());
        if (font == nullptr || font->characterId() != *fontId) continue;
        for (const auto& [name, face] : fonts) {
            if (toMovieText(name, movie.textEncoding()) == font->getFontName()) return face;
            if (readCharacterId(name) == fontId && findFontNamed(movie, name) == nullptr) return face;
        }
        return {};
    }
    return {};
}

}  // namespace tarvenox
