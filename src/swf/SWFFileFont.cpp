// The font replacement of a movie's customisation.
#include "font/SWFFont.h"
#include "swf/SWFFile.h"

namespace tarvenox {

// Only the first DefineFont2 whose name matches byte for byte is rebuilt; a name that
// no font carries changes nothing.
void SWFFile::replaceFont(const std::string& fontName, const std::string& faceName) {
    for (auto& tag : tags_) {
        auto* font = dynamic_cast<SWFFont*>(tag.get());
        if (font != nullptr && font->getFontName() == fontName) {
            font->replaceWithSystemFont(fontName, faceName);
            return;
        }
    }
}

}  // namespace tarvenox
