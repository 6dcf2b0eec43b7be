// Bit fields written most significant bit first, as SWF packs them.
#pragma once

#include <cstdint>
#include <utility>

#include "common/Bytes.h"

namespace tarvenox {

class SWFBitWriter {
public:
    // Appends the low n bits of value, most significant first (n from 0 to 32).
    void writeBits(int n, std::uint32_t value);
    void writeSignedBits(int n, std::int32_t value) { writeBits(n, static_cast<std::uint32_t>(value)); }

    // The next bit starts a new byte.
    void align() { bitIndex_ = -1; }
    void writeAlignedByte(std::uint8_t value);
    void writeAlignedUI16(std::uint16_t value);

    // Every bit written so far; unwritten low bits of the last byte are 0.
    const Bytes& bytes() const { return bytes_; }
    // Hands the bytes over and leaves the writer new: empty, with no byte partly filled.
    Bytes take() {
        bitIndex_ = -1;
        return std::exchange(bytes_, Bytes{});
    }
    std::size_t size() const { return bytes_.size(); }

private:
    Bytes bytes_;
    int bitIndex_ = -1;  // -1: no byte is partly filled
};

// The bits needed to hold value as a signed field: 0 for 0, otherwise one sign bit
// plus the significant bits of the value (of its complement when negative).
int signedBitCount(std::int32_t value);

}  // namespace tarvenox
