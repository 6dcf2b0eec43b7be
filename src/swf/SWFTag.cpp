// A tag of an SWF movie.
#include "swf/SWFTag.h"

#include "common/ByteReader.h"
#include "swf/RecordHeader.h"

namespace tarvenox {

std::uint32_t SWFTag::outputSize() const { return recordHeaderSize(length()) + length(); }

void SWFTag::writeTo(Bytes& out) const { body_.appendRecord(code_, out); }

void SWFTag::appendTo(ByteChain& out) const { body_.appendRecord(code_, out); }

std::uint16_t SWFTag::characterId() const {
    const ByteSpan bytes = body();
    return bytes.size() >= 2 ? peekUI16(bytes, 0) : 0;
}

void SWFTag::setCharacterId(std::uint16_t id) {
    if (length() < 2) return;
    Bytes& bytes = body_.own();
    bytes[0] = static_cast<std::uint8_t>(id & 0xFF);
    bytes[1] = static_cast<std::uint8_t>(id >> 8);
}

}  // namespace tarvenox
