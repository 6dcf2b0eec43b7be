// The body of a DefineFont2 tag built from an installed font.
#include "font/DefineFont2.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <limits>
#include <vector>

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "common/Cp1252.h"
#include "font/FontCodes.h"
#include "swf/SWFBitWriter.h"
#include "swf/SWFFont.h"
#include "swf/SWFRect.h"

namespace tarvenox {

namespace {

template <class T>
T held(std::int64_t v) {
    return static_cast<T>(std::clamp<std::int64_t>(v, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

// The body of either tag; scale is the size of an outline unit in the tag's em units.
Bytes buildFontBody(std::uint16_t fontId, const std::string& fontName, const GlyphOutlines& outlines,
                    std::uint8_t styleFlags, int scale) {
    assert(outlines.glyphs.size() == glyphCount);
    // Glyphs in the order of the code table; a Windows-1252 code less 32 is its outline's slot.
    const auto& order = rebuiltGlyphCodes();

    // The shapes first, each from a byte boundary, so that the width of the offsets
    // is known before the table is written.
    SWFBitWriter shapes;
    std::vector<std::size_t> shapeStarts;
    for (std::uint8_t code : order) {
        const int slot = code - firstGlyphCode;
        shapes.align();
        shapeStarts.push_back(shapes.size());
        outlines.glyphs[slot]->write(shapes, scale);
    }
    const std::size_t narrowTable = 2 * (glyphCount + 1);  // offsets and CodeTableOffset
    const bool wide = narrowTable + shapes.size() > 0xFFFF;
    const std::size_t table = wide ? 4 * (glyphCount + 1) : narrowTable;

    // A name longer than FontNameLen can count is cut, so the length stays true.
    const std::size_t nameLength = std::min<std::size_t>(fontName.size(), 255);

    Bytes body;
    body.reserve(7 + nameLength + table + shapes.size() + 2 * glyphCount + 6 + 2 * glyphCount + 8 * glyphCount + 2);
    writeUI16(body, fontId);
    body.push_back(SWFFont::kFlagHasLayout | SWFFont::kFlagWideCodes | (wide ? SWFFont::kFlagWideOffsets : 0) |
                   (styleFlags & SWFFont::kFlagsItalicBold));
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

    for (std::uint8_t code : order) writeUI16(body, cp1252ToUnicode(code));
    // The layout block, in the glyphs' own units: the face's line metrics, and advances
    // on the same scale as the shapes, so that text is as wide as the face says.
    writeUI16(body, held<std::uint16_t>(std::int64_t(outlines.layout.ascent) * scale));
    writeUI16(body, held<std::uint16_t>(std::int64_t(outlines.layout.descent) * scale));
    writeUI16(body, static_cast<std::uint16_t>(held<std::int16_t>(std::int64_t(outlines.layout.leading) * scale)));
    for (std::uint8_t code : order) {
        const std::int64_t advance = std::int64_t(outlines.advances[code]) * scale;
        writeUI16(body, static_cast<std::uint16_t>(held<std::int16_t>(advance)));
    }
    // FontBoundsTable: every glyph's box, each RECT with the fewest bits that hold it
    // and starting on a byte boundary, as every RECT of the format does.
    SWFBitWriter bounds;
    for (std::uint8_t code : order) {
        const int slot = code - firstGlyphCode;
        swfBounds(*outlines.glyphs[slot], scale).write(bounds);
        bounds.align();
    }
    body.insert(body.end(), bounds.bytes().begin(), bounds.bytes().end());
    writeUI16(body, 0);  // KerningCount
    return body;
}

}  // namespace

SWFRect swfBounds(const Glyph& glyph, int scale) {
    OutlineBounds box = glyph.bounds();
    SWFRect rect;
    if (!box.empty) rect = {box.xMin * scale, box.xMax * scale, -box.yMax * scale, -box.yMin * scale};
    return rect;
}

Bytes buildDefineFont2Body(std::uint16_t fontId, const std::string& fontName, const std::string& faceName) {
    return buildDefineFont2Body(fontId, fontName, extractGlyphOutlines(faceName));
}

Bytes buildDefineFont2Body(std::uint16_t fontId, const std::string& fontName, const GlyphOutlines& outlines,
                           std::uint8_t styleFlags) {
    return buildFontBody(fontId, fontName, outlines, styleFlags, 1);
}

Bytes buildDefineFont3Body(std::uint16_t fontId, const std::string& fontName, const GlyphOutlines& outlines,
                           std::uint8_t styleFlags) {
    return buildFontBody(fontId, fontName, outlines, styleFlags, 20);
}

}  // namespace tarvenox
