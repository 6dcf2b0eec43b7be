// The font replacement of a movie's customisation.
#include "swf/CharacterTags.h"
#include "swf/SWFFile.h"
#include "swf/SWFFont.h"

namespace tarvenox {

SWFFont* findFontNamed(SWFFile& movie, const std::string& fontName) {
    const std::string name = toMovieText(fontName, movie.textEncoding());
    for (auto& tag : movie.tags()) {
        auto* font = dynamic_cast<SWFFont*>(tag.get());
        if (font != nullptr && font->getFontName() == name) return font;
    }
    return nullptr;
}

SWFFont* findFontSlot(SWFFile& movie, const std::string& slot) {
    if (SWFFont* named = findFontNamed(movie, slot)) return named;
    auto found = movie.findDefining<SWFFont>(readCharacterId(slot));
    return found == movie.tags().end() ? nullptr : static_cast<SWFFont*>(found->get());
}

}  // namespace tarvenox
