// Little-endian integers appended to a byte buffer, as every SWF record stores them.
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

// 16 bits at a position of a buffer, low byte first (the buffer must hold them).
inline std::uint16_t peekUI16(ByteSpan bytes, std::size_t pos) {
    return static_cast<std::uint16_t>(bytes[pos] | (bytes[pos + 1] << 8));
}

// 32 bits at a position of a buffer, low byte first (the buffer must hold them).
inline std::uint32_t peekUI32(ByteSpan bytes, std::size_t pos) {
    return peekUI16(bytes, pos) | (static_cast<std::uint32_t>(peekUI16(bytes, pos + 2)) << 16);
}

}  // namespace tarvenox
