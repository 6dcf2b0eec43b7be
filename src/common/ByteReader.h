// A checked cursor over a byte buffer: no read can leave the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "common/Bytes.h"

namespace tarvenox {

// Every read checks the remaining length first. A read that does not fit returns 0
// (or an empty span), consumes nothing and marks the reader as overrun, so a parser
// can read a whole record and test overrun() once at its end.
class ByteReader {
public:
    explicit ByteReader(ByteSpan data) : data_(data) {}

    std::uint8_t readU8();
    std::uint16_t readU16LE();
    std::uint32_t readU32LE();
    std::uint16_t readU16BE();
    std::uint32_t readU32BE();

    // The next n bytes, or an empty span (and overrun) when fewer remain.
    ByteSpan readBytes(std::size_t n);
    // Bytes up to the next NUL, which is consumed but not returned. Without a NUL the
    // reader is overrun and nullopt comes back.
    std::optional<std::string> readCString();
    bool skip(std::size_t n);

    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return data_.size() - pos_; }
    bool atEnd() const { return pos_ == data_.size(); }
    bool overrun() const { return overrun_; }
    ByteSpan rest() const { return data_.subspan(pos_); }

private:
    bool fits(std::size_t n);

    ByteSpan data_;
    std::size_t pos_ = 0;
    bool overrun_ = false;
};

// Values read in place, for a buffer whose size the caller has checked.

// 16 bits at a position of a buffer, low byte first (the buffer must hold them).
inline std::uint16_t peekUI16(ByteSpan bytes, std::size_t pos) {
    return static_cast<std::uint16_t>(bytes[pos] | (bytes[pos + 1] << 8));
}

// 32 bits at a position of a buffer, low byte first (the buffer must hold them).
inline std::uint32_t peekUI32(ByteSpan bytes, std::size_t pos) {
    return peekUI16(bytes, pos) | (static_cast<std::uint32_t>(peekUI16(bytes, pos + 2)) << 16);
}

}  // namespace tarvenox
