// The body of a DefineFont2 tag built from an installed font: the 224 codes 32 to 255
// with their shapes, advances and a fixed layout block.
#pragma once

#include <cstdint>
#include <string>

#include "common/Bytes.h"
#include "font/GlyphOutlines.h"

namespace tarvenox {

// Extracts the face's outlines (UTF-8 face name) and builds the body for the font id
// and name (the name's bytes as stored, at most 255 of them).
Bytes buildDefineFont2Body(std::uint16_t fontId, const std::string& fontName,
                           const std::string& faceName);

// The body from outlines already extracted. Offsets are 16-bit unless the shapes end
// 65536 or more bytes after the offset table; then FontFlagsWideOffsets is set and
// the offsets and the code table offset are 32-bit.
Bytes buildDefineFont2Body(std::uint16_t fontId, const std::string& fontName,
                           const GlyphOutlines& outlines);

}  // namespace tarvenox
