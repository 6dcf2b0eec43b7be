// The font replacement of a movie's customisation.
#include "common/Log.h"
#include "font/FontCodes.h"
#include "font/SWFFont.h"
#include "font/StaticTextRemap.h"
#include "swf/SWFFile.h"
#include "swf/TagCode.h"

namespace tarvenox {

SWFFont* findFontNamed(SWFFile& movie, const std::string& fontName) {
    const std::string name = toMovieText(fontName, movie.textEncoding());
    for (auto& tag : movie.tags()) {
        auto* font = dynamic_cast<SWFFont*>(tag.get());
        if (font != nullptr && font->getFontName() == name) return font;
    }
    return nullptr;
}

// Only the first font whose name matches is rebuilt, keeping its name bytes exactly; a
// name that no font carries changes nothing.
void SWFFile::replaceFont(const std::string& fontName, const std::string& faceName) {
    SWFFont* font = findFontNamed(*this, fontName);
    if (font == nullptr) return;
    const std::uint16_t id = font->characterId();
    const std::vector<char32_t> oldCodePoints = fontCodePoints(font->body(), textEncoding());
    font->replaceWithSystemFont(font->nameBytes(), faceName);
    // Static text names its glyphs by their place in the old font.
    if (const int missing = remapStaticText(*this, id, oldCodePoints); missing > 0) {
        logPrint("static text in font %s: %d characters that %s lacks are shown as spaces\n",
                 displayMovieText(font->getFontName(), textEncoding()).c_str(), missing, faceName.c_str());
    }
    // Alignment zones describe the old glyphs one by one; players take the new glyphs
    // without them.
    if (font->code() == static_cast<int>(TagCode::DefineFont3)) {
        std::erase_if(tags_, [id](const auto& tag) {
            return tag->code() == static_cast<int>(TagCode::DefineFontAlignZones) && tag->characterId() == id;
        });
    }
}

}  // namespace tarvenox
