// The outlines and advance widths of an installed font, as a font tag is built from them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/Report.h"
#include "common/Texts.h"
#include "font/FontEngine.h"
#include "font/Glyph.h"

namespace tarvenox {

struct GlyphOutlines {
    // 224 glyphs, entry i for the Windows-1252 code 32 + i; a code without an outline
    // has a NullGlyph.
    std::vector<std::unique_ptr<Glyph>> glyphs;
    // Advance widths of the codes 0 to 255 in outline units, the glyphs' own scale.
    std::array<std::int32_t, 256> advances{};
    // Ascent, descent and leading in outline units.
    FontLayout layout;
    // What the extraction has to tell: no face could be created, outline records it
    // skipped. Never failed.
    Report report;
};

// Outlines are taken at an em of 64 pixels, which makes 1024 outline units: the em
// square of a DefineFont2 glyph, so that the glyphs draw at their true size.
inline constexpr int outlineEmPixels = 64;

inline constexpr int firstGlyphCode = 32;
inline constexpr int glyphCount = 224;
inline std::string noFontMessage() { return text("font.noFont"); }

// The matrix every outline is taken through.
OutlineMatrix extractionMatrix();

// The face (UTF-8) at an em height of 64 pixels, regular weight. When no font can be
// created at all, the report tells "hFont == NULL" and the result holds only
// NullGlyphs, zero advances and an empty layout.
GlyphOutlines extractGlyphOutlines(const std::string& faceName);
GlyphOutlines extractGlyphOutlines(FontEngine& engine, const std::string& faceName);

}  // namespace tarvenox
