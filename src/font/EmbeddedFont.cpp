// A DefineFont2 or DefineFont3 body taken apart into its tables.
#include "font/EmbeddedFont.h"

#include <algorithm>

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "font/FontCodes.h"
#include "swf/SWFBitReader.h"
#include "swf/SWFBitWriter.h"
#include "swf/SWFFont.h"

namespace tarvenox {

std::optional<EmbeddedFont> EmbeddedFont::read(ByteSpan body, TagCode code, MovieTextEncoding encoding) {
    EmbeddedFont font;
    font.em = code == TagCode::DefineFont3 ? 20480 : 1024;
    ByteReader reader(body);
    reader.skip(4);
    reader.skip(reader.readU8());
    if (reader.overrun()) return std::nullopt;
    font.head.assign(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(reader.position()));
    const std::uint8_t flags = font.flags();
    const bool wideOffsets = (flags & SWFFont::kFlagWideOffsets) != 0;
    const std::uint16_t count = reader.readU16LE();
    const std::size_t tableStart = reader.position();
    if (count == 0 && !reader.overrun()) {
        // Writers differ in what follows no glyphs (a CodeTableOffset, a layout, nothing):
        // it is kept as it is.
        font.rest.assign(body.begin() + static_cast<std::ptrdiff_t>(tableStart), body.end());
        return font;
    }
    std::vector<std::uint32_t> offsets;
    for (std::uint32_t i = 0; i <= count; ++i) offsets.push_back(wideOffsets ? reader.readU32LE() : reader.readU16LE());
    if (reader.overrun()) return std::nullopt;
    // Offsets count from the start of the offset table; each shape ends where the next
    // begins, the last one at the code table.
    const std::size_t tableEnd = reader.position() - tableStart;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (offsets[i] < tableEnd || offsets[i] > offsets[i + 1] || offsets[i + 1] > body.size() - tableStart) {
            return std::nullopt;
        }
        const auto shape = body.subspan(tableStart + offsets[i], offsets[i + 1] - offsets[i]);
        font.shapes.emplace_back(shape.begin(), shape.end());
    }
    ByteReader rest(body.subspan(std::min<std::size_t>(tableStart + offsets[count], body.size())));
    const bool wideCodes = (flags & SWFFont::kFlagWideCodes) != 0;
    for (std::uint32_t i = 0; i < count; ++i) font.codes.push_back(wideCodes ? rest.readU16LE() : rest.readU8());
    if (rest.overrun()) return std::nullopt;
    font.codePoints = fontCodePoints(body, encoding);
    if (font.codePoints.size() != count) font.codePoints.assign(count, 0);

    const ByteSpan tail = body.subspan(tableStart + offsets[count] + rest.position());
    if ((flags & SWFFont::kFlagHasLayout) == 0) {
        font.rest.assign(tail.begin(), tail.end());
    } else {
        SWFBitReader layoutReader(tail);
        EmbeddedFontLayout layout;
        layout.ascent = layoutReader.readUI16();
        layout.descent = layoutReader.readUI16();
        layout.leading = layoutReader.readSI16();
        for (std::uint32_t i = 0; i < count; ++i) layout.advances.push_back(layoutReader.readSI16());
        for (std::uint32_t i = 0; i < count; ++i) {
            layout.bounds.push_back(SWFRect::read(layoutReader));
            layoutReader.align();
        }
        if (layoutReader.overrun()) return std::nullopt;
        const auto kerning = tail.subspan(std::min(layoutReader.nextByteOffset(), tail.size()));
        layout.kerning.assign(kerning.begin(), kerning.end());
        font.layout = std::move(layout);
    }
    return font;
}

Bytes EmbeddedFont::write() const {
    const std::size_t count = shapes.size();
    if (count == 0) {
        Bytes body = head;
        writeUI16(body, 0);
        body.insert(body.end(), rest.begin(), rest.end());
        return body;
    }
    std::size_t shapeBytes = 0;
    for (const auto& shape : shapes) shapeBytes += shape.size();
    const bool wideOffsets = (flags() & SWFFont::kFlagWideOffsets) != 0 || 2 * (count + 1) + shapeBytes > 0xFFFF;
    const std::size_t table = (wideOffsets ? 4 : 2) * (count + 1);
    const std::uint8_t bits = wideOffsets ? flags() | SWFFont::kFlagWideOffsets : flags();

    Bytes body = head;
    body[2] = bits;
    writeUI16(body, static_cast<std::uint16_t>(count));
    auto writeOffset = [&](std::size_t offset) {
        if (wideOffsets) {
            writeUI32(body, static_cast<std::uint32_t>(offset));
        } else {
            writeUI16(body, static_cast<std::uint16_t>(offset));
        }
    };
    std::size_t offset = table;
    for (const auto& shape : shapes) {
        writeOffset(offset);
        offset += shape.size();
    }
    writeOffset(offset);  // CodeTableOffset
    for (const auto& shape : shapes) body.insert(body.end(), shape.begin(), shape.end());
    for (std::uint16_t code : codes) {
        if ((bits & SWFFont::kFlagWideCodes) != 0) {
            writeUI16(body, code);
        } else {
            body.push_back(static_cast<std::uint8_t>(code));
        }
    }
    if (layout) {
        writeUI16(body, layout->ascent);
        writeUI16(body, layout->descent);
        writeUI16(body, static_cast<std::uint16_t>(layout->leading));
        for (std::int16_t advance : layout->advances) writeUI16(body, static_cast<std::uint16_t>(advance));
        SWFBitWriter bounds;
        for (const auto& rect : layout->bounds) {
            rect.write(bounds);
            bounds.align();
        }
        body.insert(body.end(), bounds.bytes().begin(), bounds.bytes().end());
        body.insert(body.end(), layout->kerning.begin(), layout->kerning.end());
    }
    body.insert(body.end(), rest.begin(), rest.end());
    return body;
}

std::vector<std::uint32_t> EmbeddedFont::addGlyphs(const std::vector<AddedGlyph>& added) {
    const std::size_t oldCount = shapes.size();
    for (const auto& glyph : added) {
        shapes.push_back(glyph.shape);
        codePoints.push_back(glyph.codePoint);
        if (layout) {
            layout->advances.push_back(glyph.advance);
            layout->bounds.push_back(glyph.bounds);
        }
    }
    std::vector<std::uint32_t> order(shapes.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return codePoints[a] < codePoints[b]; });
    auto permuted = [&](auto& table) {
        std::remove_reference_t<decltype(table)> sorted;
        sorted.reserve(table.size());
        for (std::uint32_t i : order) sorted.push_back(std::move(table[i]));
        table = std::move(sorted);
    };
    permuted(shapes);
    permuted(codePoints);
    if (layout) {
        permuted(layout->advances);
        permuted(layout->bounds);
    }
    codes.assign(codePoints.begin(), codePoints.end());
    head[2] |= SWFFont::kFlagWideCodes;

    std::vector<std::uint32_t> newIndex(oldCount);
    for (std::uint32_t k = 0; k < order.size(); ++k) {
        if (order[k] < oldCount) newIndex[order[k]] = k;
    }
    return newIndex;
}

bool EmbeddedFont::shiftJis() const { return (flags() & SWFFont::kFlagShiftJis) != 0; }

std::optional<std::uint32_t> EmbeddedFont::glyphOf(char32_t codePoint) const {
    if (codePoint == 0) return std::nullopt;
    const auto it = std::find(codePoints.begin(), codePoints.end(), codePoint);
    if (it == codePoints.end()) return std::nullopt;
    return static_cast<std::uint32_t>(it - codePoints.begin());
}

std::optional<SWFRect> glyphShapeBounds(ByteSpan shape) {
    SWFBitReader reader(shape);
    const int fillBits = static_cast<int>(reader.readUB(4));
    const int lineBits = static_cast<int>(reader.readUB(4));
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::optional<SWFRect> box;
    auto cover = [&] {
        if (!box) box = SWFRect{x, x, y, y, 0};
        box->xMin = std::min(box->xMin, x);
        box->xMax = std::max(box->xMax, x);
        box->yMin = std::min(box->yMin, y);
        box->yMax = std::max(box->yMax, y);
    };
    while (!reader.overrun()) {
        if (reader.readUB(1) == 0) {
            const std::uint32_t stateFlags = reader.readUB(5);
            if (stateFlags == 0) return box;                       // EndShapeRecord
            if ((stateFlags & 0b10000) != 0) return std::nullopt;  // new styles: not a glyph
            if ((stateFlags & 0b00001) != 0) {                     // MoveTo
                const int n = static_cast<int>(reader.readUB(5));
                x = reader.readSB(n);
                y = reader.readSB(n);
            }
            if ((stateFlags & 0b00010) != 0) reader.readUB(fillBits);
            if ((stateFlags & 0b00100) != 0) reader.readUB(fillBits);
            if ((stateFlags & 0b01000) != 0) reader.readUB(lineBits);
            continue;
        }
        cover();  // where the edge starts
        const bool straight = reader.readUB(1) == 1;
        const int n = static_cast<int>(reader.readUB(4)) + 2;
        if (straight) {
            if (reader.readUB(1) == 1) {  // GeneralLineFlag
                x += reader.readSB(n);
                y += reader.readSB(n);
            } else if (reader.readUB(1) == 1) {  // VertLineFlag
                y += reader.readSB(n);
            } else {
                x += reader.readSB(n);
            }
            cover();
        } else {
            // The box takes the control point in: at most a little larger than the curve.
            const std::int32_t cx = x + reader.readSB(n);
            const std::int32_t cy = y + reader.readSB(n);
            const std::int32_t ax = cx + reader.readSB(n);
            const std::int32_t ay = cy + reader.readSB(n);
            x = cx;
            y = cy;
            cover();
            x = ax;
            y = ay;
            cover();
        }
    }
    return std::nullopt;
}

}  // namespace tarvenox
