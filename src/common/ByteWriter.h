// The byte writer beside ByteReader: little-endian integers appended to a byte buffer, as
// every SWF record and archive header stores them.
#pragma once

#include <cstdint>

#include "common/Bytes.h"

namespace tarvenox {

// The low byte, then the next byte.
inline void writeUI16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// The low 16 bits, then the high 16 bits.
inline void writeUI32(Bytes& out, std::uint32_t value) {
    writeUI16(out, value & 0xFFFF);
    writeUI16(out, value >> 16);
}

}  // namespace tarvenox
