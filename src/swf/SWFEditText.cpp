// DefineEditText.
#include "swf/SWFEditText.h"

#include "common/ByteReader.h"
#include "swf/SWFBitReader.h"

namespace tarvenox {

namespace {

constexpr std::uint8_t hasText = 0x80;
constexpr std::uint8_t hasTextColor = 0x04;
constexpr std::uint8_t hasMaxLength = 0x02;
constexpr std::uint8_t hasFont = 0x01;
constexpr std::uint8_t hasFontClass = 0x80;
constexpr std::uint8_t hasLayout = 0x20;

}  // namespace

std::optional<SWFEditText> SWFEditText::read(ByteSpan body) {
    SWFEditText text;
    // The id and the RECT, the only bit fields, then whole bytes from the next one on.
    SWFBitReader bits(body);
    text.id = bits.readUI16();
    text.bounds = SWFRect::read(bits);
    if (bits.overrun()) return std::nullopt;
    ByteReader reader(body.subspan(bits.nextByteOffset()));
    text.flags = reader.readU8();
    text.flags2 = reader.readU8();
    if (text.flags & hasFont) text.fontId = reader.readU16LE();
    if (text.flags2 & hasFontClass) {
        text.fontClass = reader.readCString();
        if (!text.fontClass) return std::nullopt;
    }
    if ((text.flags & hasFont) || (text.flags2 & hasFontClass)) text.fontHeight = reader.readU16LE();
    if (text.flags & hasTextColor) {
        ByteSpan rgba = reader.readBytes(4);
        if (reader.overrun()) return std::nullopt;
        text.color = std::array<std::uint8_t, 4>{rgba[0], rgba[1], rgba[2], rgba[3]};
    }
    if (text.flags & hasMaxLength) text.maxLength = reader.readU16LE();
    if (text.flags2 & hasLayout) reader.skip(9);  // Align, LeftMargin, RightMargin, Indent, Leading
    auto variable = reader.readCString();
    if (!variable) return std::nullopt;
    text.variableName = std::move(*variable);
    if (text.flags & hasText) {
        text.initialText = reader.readCString();
        if (!text.initialText) return std::nullopt;
    }
    if (reader.overrun()) return std::nullopt;
    return text;
}

}  // namespace tarvenox
