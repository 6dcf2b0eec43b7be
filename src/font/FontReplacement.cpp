// Rebuilding a movie's font from an installed face.
#include "font/FontReplacement.h"

#include <algorithm>

#include "common/Texts.h"
#include "font/DefineFont2.h"
#include "font/FontCodes.h"
#include "font/StaticTextRemap.h"
#include "swf/SWFFile.h"
#include "swf/SWFFont.h"
#include "swf/TagCode.h"

namespace tarvenox {

Report replaceWithSystemFont(SWFFont& font, const std::string& fontName, const std::string& faceName) {
    return replaceWithOutlines(font, fontName, extractGlyphOutlines(faceName));
}

Report replaceWithOutlines(SWFFont& font, const std::string& fontName, const GlyphOutlines& outlines) {
    const std::uint8_t styleFlags = font.body().size() > 2 ? font.body()[2] : 0;
    font.setData(font.code() == TagCode::DefineFont3
                     ? buildDefineFont3Body(font.characterId(), fontName, outlines, styleFlags)
                     : buildDefineFont2Body(font.characterId(), fontName, outlines, styleFlags));
    return outlines.report;
}

Report replaceFont(SWFFile& movie, const std::string& fontName, const std::string& faceName) {
    if (findFontSlot(movie, fontName) == nullptr) return {};
    return replaceFont(movie, fontName, faceName, extractGlyphOutlines(faceName));
}

Report replaceFont(SWFFile& movie, const std::string& fontName, const std::string& faceName,
                   const GlyphOutlines& outlines) {
    SWFFont* font = findFontSlot(movie, fontName);
    if (font == nullptr) return {};
    const std::uint16_t id = font->characterId();
    const std::vector<char32_t> oldCodePoints = fontCodePoints(font->body(), movie.textEncoding());
    Report report = replaceWithOutlines(*font, font->nameBytes(), outlines);
    // Static text names its glyphs by their place in the old font.
    if (const int missing = remapStaticText(movie, id, oldCodePoints); missing > 0) {
        // A font without a name is named by its id, as the user gave it.
        const std::string label = font->getFontName().empty()
                                      ? std::to_string(id)
                                      : displayMovieText(font->getFontName(), movie.textEncoding());
        report.note(text("font.missingCharacters", {label, std::to_string(missing), faceName}),
                    MessageKind::Information);
    }
    if (font->code() == TagCode::DefineFont3) {
        std::erase_if(movie.tags(), [id](const auto& tag) {
            return tag->code() == TagCode::DefineFontAlignZones && tag->characterId() == id;
        });
    }
    return report;
}

}  // namespace tarvenox
