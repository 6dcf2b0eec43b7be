// The font replacement of a movie's customisation.
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

}  // namespace tarvenox
