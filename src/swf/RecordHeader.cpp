// Reading and writing record headers.
#include "swf/RecordHeader.h"

#include "common/ByteReader.h"
#include "common/ByteWriter.h"

namespace tarvenox {

RecordHeader readRecordHeader(ByteSpan data) {
    RecordHeader header;
    ByteReader reader(data.first(std::min<std::size_t>(data.size(), 6)));
    if (reader.remaining() < 2) return header;
    const std::uint16_t word = reader.readU16LE();
    header.code = static_cast<TagCode>(word >> 6);
    header.codeRead = true;
    header.length = word & kLongLengthMark;
    if (header.length == kLongLengthMark) {
        header.length = reader.readU32LE();
        if (reader.overrun()) {
            header.length = 0;
            return header;
        }
    }
    header.size = static_cast<std::uint8_t>(reader.position());
    return header;
}

std::uint8_t recordHeaderSize(std::uint32_t length) { return length < kLongLengthMark ? 2 : 6; }

void writeRecordHeader(Bytes& out, TagCode code, std::uint32_t length) {
    const std::uint32_t base = static_cast<std::uint32_t>(code) << 6;
    if (length < kLongLengthMark) {
        writeUI16(out, static_cast<std::uint16_t>(base | length));
    } else {
        writeUI16(out, static_cast<std::uint16_t>(base | kLongLengthMark));
        writeUI32(out, length);
    }
}

}  // namespace tarvenox
