// A DefineFont2 or DefineFont3 body taken apart into its tables, so that its glyphs can be
// looked up by character, measured and added to, and the body written again.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "common/Bytes.h"
#include "swf/MovieText.h"
#include "swf/SWFRect.h"
#include "swf/TagCode.h"

namespace tarvenox {

struct EmbeddedFontLayout {
    std::uint16_t ascent = 0;
    std::uint16_t descent = 0;
    std::int16_t leading = 0;
    std::vector<std::int16_t> advances;  // one per glyph, in the font's em units
    std::vector<SWFRect> bounds;         // one per glyph
    Bytes kerning;                       // KerningCount and its records, as stored
};

// A glyph to add, in the font's em units.
struct AddedGlyph {
    char32_t codePoint = 0;
    Bytes shape;
    std::int16_t advance = 0;
    SWFRect bounds;
};

struct EmbeddedFont {
    Bytes head;                        // FontID, flags, LanguageCode, FontNameLen and FontName, as stored
    std::vector<Bytes> shapes;         // each glyph's SHAPE
    std::vector<std::uint16_t> codes;  // the code table as stored, 8 or 16 bits each
    std::vector<char32_t> codePoints;  // the character of each glyph (fontCodePoints)
    std::optional<EmbeddedFontLayout> layout;
    Bytes rest;     // what follows the code table of a font without a layout, or no glyphs
    int em = 1024;  // the em square: 20480 in DefineFont3

    // nullopt when the body is cut short or its tables overlap.
    static std::optional<EmbeddedFont> read(ByteSpan body, TagCode code, MovieTextEncoding encoding);
    // The body: the offsets as wide as the flags say, or 32-bit where the shapes need
    // it; the code table as wide as the flags say.
    Bytes write() const;

    std::uint8_t flags() const { return head.size() > 2 ? head[2] : 0; }
    bool shiftJis() const;
    // Adds the glyphs (characters below U+10000 that the font lacks) to a font that has
    // glyphs already, and orders every
    // glyph by its character, as players binary-search the code table, which becomes
    // 16-bit and holds the characters' code points. Returns the new index of each old
    // glyph.
    std::vector<std::uint32_t> addGlyphs(const std::vector<AddedGlyph>& added);
    // The first glyph that draws the character.
    std::optional<std::uint32_t> glyphOf(char32_t codePoint) const;
};

// The box a glyph SHAPE's edges cover, in the font's em units with y downwards; nullopt
// for a shape without edges, or one that cannot be read.
std::optional<SWFRect> glyphShapeBounds(ByteSpan shape);

}  // namespace tarvenox
