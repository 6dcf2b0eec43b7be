// DefineText (code 11) and DefineText2 (code 33): static text, each character drawn as a
// glyph of an embedded font chosen by its index in the font's glyph table.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "common/Bytes.h"
#include "swf/SWFMatrix.h"
#include "swf/SWFRect.h"

namespace tarvenox {

struct SWFGlyphEntry {
    std::uint32_t index = 0;   // into the glyph table of the record's font
    std::int32_t advance = 0;  // twips to the next glyph
};

// A TEXTRECORD. A record without a font of its own uses the font of the record before.
struct SWFTextRecord {
    std::optional<std::uint16_t> fontId;  // with textHeight
    std::uint16_t textHeight = 0;
    std::optional<Bytes> color;  // RGB in DefineText, RGBA in DefineText2
    std::optional<std::int16_t> xOffset;
    std::optional<std::int16_t> yOffset;
    std::vector<SWFGlyphEntry> glyphs;
};

struct SWFStaticText {
    std::uint16_t id = 0;
    SWFRect bounds;
    SWFMatrix matrix;
    std::vector<SWFTextRecord> records;

    // The body of a DefineText (rgba false) or DefineText2 (rgba true); nullopt when it
    // is cut short, malformed, or has bytes after its end, which a rewrite would lose.
    static std::optional<SWFStaticText> read(ByteSpan body, bool rgba);
    // The body, GlyphBits and AdvanceBits the fewest that hold every entry.
    Bytes write(bool rgba) const;
};

}  // namespace tarvenox
