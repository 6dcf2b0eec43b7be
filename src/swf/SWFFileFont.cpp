// The font replacement of a movie's customisation.
#include "font/SWFFont.h"
#include "swf/SWFFile.h"

namespace tarvenox {

SWFFont* findFontNamed(SWFFile& movie, const std::string& fontName) {
    const std::string name = toMovieText(fontName, movie.textEncoding());
    for (auto& tag : movie.tags()) {
        auto* font = dynamic_cast<SWFFont*>(tag.get());
        if (font != nullptr && font->getFontName() == name) return font;
    }
    return nullptr;
}

// Only the first DefineFont2 whose name matches is rebuilt, keeping its name bytes; a
// name that no font carries changes nothing.
void SWFFile::replaceFont(const std::string& fontName, const std::string& faceName) {
    if (SWFFont* font = findFontNamed(*this, fontName)) {
        font->replaceWithSystemFont(font->getFontName(), faceName);
    }
}

}  // namespace tarvenox
