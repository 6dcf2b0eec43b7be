// Rebuilding a movie's font from an installed face.
#pragma once

#include <string>

#include "common/Report.h"
#include "font/GlyphOutlines.h"

namespace tarvenox {

class SWFFile;
class SWFFont;

// Installs a new body in the font with the characters of the Windows-1252 codes 32 to
// 255 of the installed face (UTF-8), keeping the font id (body bytes 0-1), the italic and
// bold flags, and storing fontName (the movie's bytes) as the name. The tag's code
// decides the layout: DefineFont2, or DefineFont3 on its finer em. The report carries
// what the outline extraction had to say (no face could be created, an outline record
// skipped); it never fails, as the font is written completely all the same.
Report replaceWithSystemFont(SWFFont& font, const std::string& fontName, const std::string& faceName);
// The same from the face's outlines, extracted beforehand (extractGlyphOutlines).
Report replaceWithOutlines(SWFFont& font, const std::string& fontName, const GlyphOutlines& outlines);

// Rebuilds the font that fontName (a product text) names: the first font of that name,
// else the DefineFont2 or DefineFont3 with that character id (findFontSlot), keeping its
// name bytes exactly. Static text drawn in it (DefineText, DefineText2) is remapped to the
// new glyphs, and DefineFontAlignZones of a rebuilt DefineFont3, which describe the old
// glyphs one by one, are removed. A name that names no font changes nothing. Characters of
// static text that the new font lacks are told of in the report.
Report replaceFont(SWFFile& movie, const std::string& fontName, const std::string& faceName);
// The same from the face's outlines, extracted beforehand (extractGlyphOutlines).
Report replaceFont(SWFFile& movie, const std::string& fontName, const std::string& faceName,
                   const GlyphOutlines& outlines);

}  // namespace tarvenox
