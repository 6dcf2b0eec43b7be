// The body of a DefineFont2 tag built from an installed font: the 224 characters of the
// Windows-1252 codes 32 to 255 with their shapes, advances, bounds and the face's layout.
#pragma once

#include <cstdint>
#include <string>

#include "common/Bytes.h"
#include "font/GlyphOutlines.h"
#include "swf/MovieText.h"

namespace tarvenox {

// Extracts the face's outlines (UTF-8 face name) and builds the body for the font id and
// name (the name's bytes as the movie stores them, at most 255 of them). The code table
// follows the movie's text encoding: for a Windows-1252 movie (SWF 5 and older) the
// 8-bit codes 32 to 255; for a Unicode movie (SWF 6 and later) FontFlagsWideCodes and
// the Unicode code points of those characters in ascending order, as players
// binary-search the table, with the shapes, advances and bounds in the same order.
Bytes buildDefineFont2Body(std::uint16_t fontId, const std::string& fontName,
                           const std::string& faceName, MovieTextEncoding encoding);

// The body from outlines already extracted. Offsets are 16-bit unless the shapes end
// 65536 or more bytes after the offset table; then FontFlagsWideOffsets is set and
// the offsets and the code table offset are 32-bit.
Bytes buildDefineFont2Body(std::uint16_t fontId, const std::string& fontName,
                           const GlyphOutlines& outlines, MovieTextEncoding encoding);

}  // namespace tarvenox
