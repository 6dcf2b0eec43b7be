// The outlines and advance widths of an installed font, as a font tag is built from them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "font/Glyph.h"

namespace tarvenox {

class FontEngine;

struct GlyphOutlines {
    // 224 glyphs, entry i for the Windows-1252 code 32 + i; a code without an outline
    // has a NullGlyph.
    std::vector<std::unique_ptr<Glyph>> glyphs;
    // Advance widths of the codes 0 to 255 in pixels of the 72-pixel font.
    std::array<std::int32_t, 256> widths{};
};

inline constexpr int firstGlyphCode = 32;
inline constexpr int glyphCount = 224;
inline constexpr const char* noFontMessage = "hFont == NULL";

// The face (UTF-8) at a cell height of 72 pixels, regular weight. When no font can be
// created at all, "hFont == NULL" is shown and the result holds only NullGlyphs and
// zero widths.
GlyphOutlines extractGlyphOutlines(const std::string& faceName);
GlyphOutlines extractGlyphOutlines(FontEngine& engine, const std::string& faceName);

}  // namespace tarvenox
