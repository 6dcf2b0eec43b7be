// Bit fields read most significant bit first, never past the end of the buffer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/Bytes.h"

namespace tarvenox {

// A read that would need a byte beyond the buffer yields 0 bits for the missing part
// and sets overrun(); the reader never touches memory outside the buffer. Callers
// parse a whole record and then ask overrun() once.
class SWFBitReader {
public:
    explicit SWFBitReader(ByteSpan data) : data_(data) {}

    std::uint32_t readUB(int n);
    std::int32_t readSB(int n);
    std::uint8_t readUI8();
    std::int8_t readSI8();
    std::uint16_t readUI16();
    std::int16_t readSI16();

    // The next bit comes from the next byte.
    void align() { bitIndex_ = -1; }

    // Offset of the first byte not yet touched: where unparsed data starts.
    std::size_t nextByteOffset() const { return static_cast<std::size_t>(byteIndex_ + 1); }
    bool overrun() const { return overrun_; }

private:
    ByteSpan data_;
    std::ptrdiff_t byteIndex_ = -1;
    int bitIndex_ = -1;  // -1: the next bit starts the next byte
    bool overrun_ = false;
};

}  // namespace tarvenox
