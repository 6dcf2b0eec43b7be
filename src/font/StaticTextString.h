// The characters a static text (DefineText, DefineText2) shows, read back through the
// code tables of its fonts.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "swf/MovieText.h"

namespace tarvenox {

class SWFFile;
class SWFFont;
struct SWFStaticText;

// The embedded fonts of a movie by character id, each font's code table read once, when
// first asked for, so that reading every static text of a movie reads each font once.
class FontCodeTables {
public:
    explicit FontCodeTables(const SWFFile& movie);

    // The DefineFont2 or DefineFont3 with the id, the first in file order; nullptr when
    // there is none.
    const SWFFont* font(std::uint16_t id) const;
    // Its code points in glyph order (see fontCodePoints); empty without such a font.
    const std::vector<char32_t>& codePoints(std::uint16_t id);

    // How the font spaces its glyphs in static text, in em units: the em square; where
    // each glyph starts and ends across, by the advances of the font's layout, else by
    // its ink (nullopt for a glyph without edges); the blank of a space (GlyphAdvances.h).
    // nullptr when the font's tables cannot be read.
    struct Spacing {
        int em = 1024;
        std::vector<std::optional<std::pair<double, double>>> extent;
        double space = 0;
    };
    const Spacing* spacing(std::uint16_t id);

private:
    const SWFFile& movie_;
    MovieTextEncoding encoding_;
    std::map<std::uint16_t, const SWFFont*> fonts_;
    std::map<std::uint16_t, std::vector<char32_t>> codes_;
    std::map<std::uint16_t, std::optional<Spacing>> spacings_;
};

// The text's records' characters in order, each glyph index taken through the code table
// of its record's font (a record without a font keeps the one before). A record that
// gives a vertical offset other than the current line's starts a new line, written as
// '\n' before its first character. A glyph whose character is unknown (no such font, an
// index past its table, a code of 0) reads as U+FFFD. Authoring tools draw most spaces
// as a blank, not a glyph: where the blank between two glyphs on a line (after the first
// one's advance in a font with a layout, else between their ink) is wider than the
// text's usual blank by half a space of the font, a space is read there.
std::u32string staticTextString(const SWFStaticText& text, FontCodeTables& fonts);
std::u32string staticTextString(const SWFFile& movie, const SWFStaticText& text);

// The ids of the fonts the text's records use, each once, in the order they first appear.
std::vector<std::uint16_t> staticTextFonts(const SWFStaticText& text);

}  // namespace tarvenox
