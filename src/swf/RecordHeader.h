// The record header in front of every tag's body: the tag code in the upper 10 bits of
// a 16-bit word, the body length in its lower 6 bits or, for longer bodies, in the
// 32-bit word that follows. Read and written here, for the reader, the record streamer
// and the writer alike.
#pragma once

#include <cstdint>

#include "common/Bytes.h"
#include "swf/TagCode.h"

namespace tarvenox {

// Bodies shorter than this fit the 6-bit length of the short header; the value itself
// marks the long form, whose 32-bit length follows.
inline constexpr std::uint32_t kLongLengthMark = 63;

struct RecordHeader {
    TagCode code = TagCode::End;
    std::uint32_t length = 0;  // of the body
    // The bytes the header took (2 or 6); 0 when the data ended inside it.
    std::uint8_t size = 0;
    // At least the 16-bit word was there: code is known even when size is 0.
    bool codeRead = false;
};

// The record header at the start of data.
RecordHeader readRecordHeader(ByteSpan data);

// The length of the header written for a body of that length: 2 for a body below 63
// bytes, else 6.
std::uint8_t recordHeaderSize(std::uint32_t length);

// Appends the header of a record of that code and body length, in its shortest form.
void writeRecordHeader(Bytes& out, TagCode code, std::uint32_t length);

}  // namespace tarvenox
