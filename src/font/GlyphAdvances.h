// How far each glyph of an embedded font moves the pen in static text, and the blank
// that stands for a space there.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace tarvenox {

class SWFFile;
struct EmbeddedFont;

// The advance of each glyph in the font's em units: the font's layout; else the advance
// the movie's static texts most often give the glyph (authoring tools fold the blank of a
// following space into the advance of the glyph before it, now and then); else its
// shape's width with the same space on its right as on its left (a
// quarter em for a glyph without edges, such as a space).
std::vector<double> glyphAdvances(const EmbeddedFont& font, const SWFFile& movie, std::uint16_t fontId);

// The blank that the movie's static texts usually leave between the ink of two glyphs of
// the font on a line, in em units; nullopt when they show none.
std::optional<double> usualInkBlank(const EmbeddedFont& font, const SWFFile& movie, std::uint16_t fontId);

// The blank of a space in the font, in em units: the advance of its space glyph where its
// layout gives one, else half the median advance of its glyphs (0.28 em without any). A
// static text drawn in a font without a space glyph shows a space as this blank before
// the next glyph.
double spaceAdvance(const EmbeddedFont& font, const std::vector<double>& advances);

}  // namespace tarvenox
