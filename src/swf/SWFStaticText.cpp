// DefineText and DefineText2.
#include "swf/SWFStaticText.h"

#include <algorithm>
#include <bit>

#include "common/ByteReader.h"
#include "common/ByteWriter.h"

namespace tarvenox {

namespace {

constexpr std::uint8_t hasFont = 0x08;
constexpr std::uint8_t hasColor = 0x04;
constexpr std::uint8_t hasYOffset = 0x02;
constexpr std::uint8_t hasXOffset = 0x01;
constexpr std::uint8_t textRecordType = 0x80;

}  // namespace

std::optional<SWFStaticText> SWFStaticText::read(ByteSpan body, bool rgba) {
    SWFBitReader reader(body);
    SWFStaticText text;
    text.id = reader.readUI16();
    text.bounds = SWFRect::read(reader);
    reader.align();
    text.matrix = SWFMatrix::read(reader);
    reader.align();
    const int glyphBits = reader.readUI8();
    const int advanceBits = reader.readUI8();
    if (glyphBits > 32 || advanceBits > 32) return std::nullopt;
    while (!reader.overrun()) {
        const std::uint8_t flags = reader.readUI8();
        if (flags == 0) break;  // EndOfRecordsFlag
        if ((flags & 0xF0) != textRecordType) return std::nullopt;
        SWFTextRecord record;
        if (flags & hasFont) record.fontId = reader.readUI16();
        if (flags & hasColor) {
            Bytes color;
            for (int i = 0; i < (rgba ? 4 : 3); ++i) color.push_back(reader.readUI8());
            record.color = std::move(color);
        }
        if (flags & hasXOffset) record.xOffset = reader.readSI16();
        if (flags & hasYOffset) record.yOffset = reader.readSI16();
        if (flags & hasFont) record.textHeight = reader.readUI16();
        const int count = reader.readUI8();
        for (int i = 0; i < count && !reader.overrun(); ++i) {
            SWFGlyphEntry entry;
            entry.index = reader.readUB(glyphBits);
            entry.advance = reader.readSB(advanceBits);
            record.glyphs.push_back(entry);
        }
        reader.align();
        text.records.push_back(std::move(record));
    }
    if (reader.overrun() || reader.nextByteOffset() != body.size()) return std::nullopt;
    return text;
}

Bytes SWFStaticText::write(bool rgba) const {
    int glyphBits = 0;
    int advanceBits = 0;
    for (const auto& record : records) {
        for (const auto& entry : record.glyphs) {
            glyphBits = std::max(glyphBits, static_cast<int>(std::bit_width(entry.index)));
            advanceBits = std::max(advanceBits, signedBitCount(entry.advance));
        }
    }
    SWFBitWriter writer;
    writer.writeAlignedUI16(id);
    bounds.write(writer);
    writer.align();
    matrix.write(writer);
    writer.align();
    writer.writeAlignedByte(static_cast<std::uint8_t>(glyphBits));
    writer.writeAlignedByte(static_cast<std::uint8_t>(advanceBits));
    for (const auto& record : records) {
        std::uint8_t flags = textRecordType;
        if (record.fontId) flags |= hasFont;
        if (record.color) flags |= hasColor;
        if (record.yOffset) flags |= hasYOffset;
        if (record.xOffset) flags |= hasXOffset;
        writer.writeAlignedByte(flags);
        if (record.fontId) writer.writeAlignedUI16(*record.fontId);
        if (record.color) {
            const std::size_t size = rgba ? 4 : 3;
            for (std::size_t i = 0; i < size; ++i)
                writer.writeAlignedByte(i < record.color->size() ? (*record.color)[i] : 0);
        }
        if (record.xOffset) writer.writeAlignedUI16(static_cast<std::uint16_t>(*record.xOffset));
        if (record.yOffset) writer.writeAlignedUI16(static_cast<std::uint16_t>(*record.yOffset));
        if (record.fontId) writer.writeAlignedUI16(record.textHeight);
        // GlyphCount is one byte: a record read from a movie never holds more.
        writer.writeAlignedByte(static_cast<std::uint8_t>(record.glyphs.size()));
        for (const auto& entry : record.glyphs) {
            writer.writeBits(glyphBits, entry.index);
            writer.writeSignedBits(advanceBits, entry.advance);
        }
        writer.align();
    }
    writer.writeAlignedByte(0);  // EndOfRecordsFlag
    return writer.take();
}

}  // namespace tarvenox
