// Static text kept readable when the font it is drawn in is rebuilt.
#pragma once

#include <cstdint>
#include <vector>

namespace tarvenox {

class SWFFile;

// Rewrites the glyph indices of every DefineText and DefineText2 record drawn in the
// font fontId, which was rebuilt from an installed face: each old index is taken
// through the old font's code points (see fontCodePoints) to the glyph of the same
// character in the new font. A character the new font lacks gets its space. Returns the
// number of characters that did. A text that cannot be read whole is left as it is.
int remapStaticText(SWFFile& movie, std::uint16_t fontId, const std::vector<char32_t>& oldCodePoints);

// Moves the glyph indices of every static text record drawn in the font fontId, whose
// glyphs were reordered: glyph i is now newIndex[i]. An index beyond the table is kept.
void reindexStaticText(SWFFile& movie, std::uint16_t fontId, const std::vector<std::uint32_t>& newIndex);

}  // namespace tarvenox
