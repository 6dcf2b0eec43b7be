// The body of a DefineFont2 or DefineFont3 tag built from an installed font: the 224 characters of the
// Windows-1252 codes 32 to 255 with their shapes, advances, bounds and the face's layout.
#pragma once

#include <cstdint>
#include <string>

#include "common/Bytes.h"
#include "font/GlyphOutlines.h"
#include "swf/SWFRect.h"

namespace tarvenox {

// A glyph's box as a font's FontBoundsTable holds it, its outline units multiplied by
// scale: SWF's y axis grows downwards.
SWFRect swfBounds(const Glyph& glyph, int scale);

// Extracts the face's outlines (UTF-8 face name) and builds the body for the font id and
// name (the name's bytes as the movie stores them, at most 255 of them).
//
// The code table holds the Unicode code points of the characters (FontFlagsWideCodes)
// in ascending order, as players binary-search it, with the shapes, advances and bounds
// in the same order. Players look a character of a text up by its Unicode code point
// in movies of every version: those of version 6 and later keep their texts in UTF-8,
// and those of older versions are decoded from Windows-1252 first. An 8-bit table
// would be taken as Latin-1 there, and the characters that Windows-1252 places at
// 0x80-0x9F (the euro sign, the typographic quotes and dashes) would never be found.
Bytes buildDefineFont2Body(std::uint16_t fontId, const std::string& fontName, const std::string& faceName);

// The body from outlines already extracted. Offsets are 16-bit unless the shapes end
// 65536 or more bytes after the offset table; then FontFlagsWideOffsets is set and
// the offsets and the code table offset are 32-bit. styleFlags are the FontFlagsItalic
// and FontFlagsBold bits to keep (the other bits of the byte are ignored).
Bytes buildDefineFont2Body(std::uint16_t fontId, const std::string& fontName, const GlyphOutlines& outlines,
                           std::uint8_t styleFlags = 0);

// The same body for a DefineFont3 tag, whose em square is 20 times finer (20480 units):
// shapes, advances, bounds and the layout are written at 20 times their scale.
Bytes buildDefineFont3Body(std::uint16_t fontId, const std::string& fontName, const GlyphOutlines& outlines,
                           std::uint8_t styleFlags = 0);

}  // namespace tarvenox
