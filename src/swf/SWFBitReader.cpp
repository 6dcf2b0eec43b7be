// Bit fields read most significant bit first.
#include "swf/SWFBitReader.h"

namespace tarvenox {

std::uint32_t SWFBitReader::readUB(int n) {
    std::uint32_t result = 0;
    for (int k = n - 1; k >= 0; --k) {
        if (bitIndex_ == -1) {
            if (static_cast<std::size_t>(byteIndex_ + 1) >= data_.size()) {
                // Out of data: the rest of the field reads as zero bits, and the
                // position stays at the end so that nextByteOffset() stays in range.
                overrun_ = true;
                return result;
            }
            bitIndex_ = 7;
            ++byteIndex_;
        }
        if ((data_[static_cast<std::size_t>(byteIndex_)] >> bitIndex_) & 1u) result |= 1u << k;
        --bitIndex_;
    }
    return result;
}

std::int32_t SWFBitReader::readSB(int n) {
    std::uint32_t raw = readUB(n);
    if (n > 0 && n < 32 && (raw & (1u << (n - 1)))) raw -= 1u << n;
    return static_cast<std::int32_t>(raw);
}

std::uint8_t SWFBitReader::readUI8() {
    align();
    return static_cast<std::uint8_t>(readUB(8));
}

std::int8_t SWFBitReader::readSI8() { return static_cast<std::int8_t>(readUI8()); }

std::uint16_t SWFBitReader::readUI16() {
    align();
    std::uint32_t low = readUB(8);
    std::uint32_t high = readUB(8);
    return static_cast<std::uint16_t>(low | (high << 8));
}

std::int16_t SWFBitReader::readSI16() { return static_cast<std::int16_t>(readUI16()); }

}  // namespace tarvenox
