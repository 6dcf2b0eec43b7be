// Which character each glyph of an embedded font draws, and where a rebuilt font keeps
// each character.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/Bytes.h"
#include "swf/MovieText.h"

namespace tarvenox {

// The Unicode code point of every glyph of a DefineFont2 or DefineFont3 body, in glyph
// order (0 for a code that names no known character); empty when the body holds no
// glyphs or is cut short. An 8-bit code is a byte of the movie's code page, Windows-1252
// in a movie of version 5 or older.
std::vector<char32_t> fontCodePoints(ByteSpan fontBody, MovieTextEncoding encoding);

// The glyphs of a font rebuilt from an installed face: the characters of the
// Windows-1252 codes 32 to 255, in ascending order of their Unicode code points, as
// players binary-search the code table. Entry i is the Windows-1252 code of glyph i.
const std::array<std::uint8_t, 224>& rebuiltGlyphCodes();

// The glyph index of a code point in a font rebuilt from an installed face; nullopt for
// a character it lacks.
std::optional<std::uint16_t> rebuiltGlyphIndex(char32_t codePoint);

}  // namespace tarvenox
