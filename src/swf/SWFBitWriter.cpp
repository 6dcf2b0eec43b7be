// Bit fields written most significant bit first.
#include "swf/SWFBitWriter.h"

#include <bit>

namespace tarvenox {

void SWFBitWriter::writeBits(int n, std::uint32_t value) {
    for (int k = n - 1; k >= 0; --k) {
        if (bitIndex_ == -1) {
            bytes_.push_back(0);
            bitIndex_ = 7;
        }
        if ((value >> k) & 1u) bytes_.back() |= static_cast<std::uint8_t>(1u << bitIndex_);
        --bitIndex_;
    }
}

void SWFBitWriter::writeAlignedByte(std::uint8_t value) {
    align();
    writeBits(8, value);
}

void SWFBitWriter::writeAlignedUI16(std::uint16_t value) {
    align();
    writeBits(8, value & 0xFF);
    writeBits(8, value >> 8);
}

int signedBitCount(std::int32_t value) {
    if (value == 0) return 0;
    std::uint32_t magnitude = static_cast<std::uint32_t>(value < 0 ? ~value : value);
    return 1 + std::bit_width(magnitude);
}

}  // namespace tarvenox
