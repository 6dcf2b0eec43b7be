// The body of a DefineFont2 tag built from an installed font.
#include "font/DefineFont2.h"

#include <algorithm>
#include <cassert>
#include <limits>
#include <vector>

#include "swf/ByteIO.h"
#include "swf/SWFBitWriter.h"

namespace tarvenox {

namespace {

constexpr std::uint8_t flagHasLayout = 0x80;
constexpr std::uint8_t flagAnsi = 0x10;
constexpr std::uint8_t flagWideOffsets = 0x08;

// The layout block is the same for every font: ascent, descent and leading in the
// units of the glyph shapes, and advances at 18/16 of the pixel widths.
constexpr std::uint16_t fontAscent = 927;
constexpr std::uint16_t fontDescent = 217;
constexpr std::uint16_t fontLeading = 120;
constexpr std::int32_t advanceFactor = 18;

// A FontAdvanceTable entry is a signed 16-bit value; a width beyond it is held at the
// nearest end rather than wrapped round to a wrong advance.
std::uint16_t advance(std::int32_t widthPixels) {
    std::int64_t v = std::int64_t(advanceFactor) * widthPixels;
    v = std::clamp<std::int64_t>(v, std::numeric_limits<std::int16_t>::min(),
                                 std::numeric_limits<std::int16_t>::max());
    return static_cast<std::uint16_t>(v);
}

}  // namespace

Bytes buildDefineFont2Body(std::uint16_t fontId, const std::string& fontName,
                           const std::string& faceName) {
    return buildDefineFont2Body(fontId, fontName, extractGlyphOutlines(faceName));
}

Bytes buildDefineFont2Body(std::uint16_t fontId, const std::string& fontName,
                           const GlyphOutlines& outlines) {
    assert(outlines.glyphs.size() == glyphCount);

    // The shapes first, each from a byte boundary, so that the width of the offsets
    // is known before the table is written.
    SWFBitWriter shapes;
    std::vector<std::size_t> shapeStarts;
    for (const auto& glyph : outlines.glyphs) {
        shapes.align();
        shapeStarts.push_back(shapes.size());
        glyph->write(shapes);
    }
    const std::size_t narrowTable = 2 * (glyphCount + 1);  // offsets and CodeTableOffset
    const bool wide = narrowTable + shapes.size() > 0xFFFF;
    const std::size_t table = wide ? 4 * (glyphCount + 1) : narrowTable;

    // A name longer than FontNameLen can count is cut, so the length stays true.
    const std::size_t nameLength = std::min<std::size_t>(fontName.size(), 255);

    Bytes body;
    body.reserve(7 + nameLength + table + shapes.size() + 2610);
    writeUI16(body, fontId);
    body.push_back(flagHasLayout | flagAnsi | (wide ? flagWideOffsets : 0));
    body.push_back(0);  // LanguageCode
    body.push_back(static_cast<std::uint8_t>(nameLength));
    body.insert(body.end(), fontName.begin(), fontName.begin() + nameLength);
    writeUI16(body, glyphCount);
    // Offsets count from the start of the offset table.
    auto writeOffset = [&](std::size_t offset) {
        if (wide) {
            writeUI32(body, static_cast<std::uint32_t>(offset));
        } else {
            writeUI16(body, static_cast<std::uint16_t>(offset));
        }
    };
    for (std::size_t start : shapeStarts) writeOffset(table + start);
    writeOffset(table + shapes.size());  // CodeTableOffset
    body.insert(body.end(), shapes.bytes().begin(), shapes.bytes().end());

    for (int i = 0; i < glyphCount; ++i) body.push_back(static_cast<std::uint8_t>(firstGlyphCode + i));
    writeUI16(body, fontAscent);
    writeUI16(body, fontDescent);
    writeUI16(body, fontLeading);
    for (int i = 0; i < glyphCount; ++i) writeUI16(body, advance(outlines.widths[firstGlyphCode + i]));

    // FontBoundsTable: 224 empty RECTs of Nbits 16, packed without padding between
    // them; 224 x 69 bits end on a byte boundary.
    SWFBitWriter bounds;
    for (int i = 0; i < glyphCount; ++i) {
        bounds.writeBits(5, 16);
        for (int k = 0; k < 4; ++k) bounds.writeBits(16, 0);
    }
    body.insert(body.end(), bounds.bytes().begin(), bounds.bytes().end());
    writeUI16(body, 0);  // KerningCount
    return body;
}

}  // namespace tarvenox
