// A checked cursor over a byte buffer.
#include "common/ByteReader.h"

#include <algorithm>

namespace tarvenox {

bool ByteReader::fits(std::size_t n) {
    if (n > remaining()) {
        overrun_ = true;
        return false;
    }
    return true;
}

std::uint8_t ByteReader::readU8() {
    if (!fits(1)) return 0;
    return data_[pos_++];
}

std::uint16_t ByteReader::readU16LE() {
    if (!fits(2)) return 0;
    std::uint16_t v = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
}

std::uint32_t ByteReader::readU32LE() {
    if (!fits(4)) return 0;
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | data_[pos_ + i];
    pos_ += 4;
    return v;
}

std::uint16_t ByteReader::readU16BE() {
    if (!fits(2)) return 0;
    std::uint16_t v = static_cast<std::uint16_t>((data_[pos_] << 8) | data_[pos_ + 1]);
    pos_ += 2;
    return v;
}

std::uint32_t ByteReader::readU32BE() {
    if (!fits(4)) return 0;
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | data_[pos_ + i];
    pos_ += 4;
    return v;
}

ByteSpan ByteReader::readBytes(std::size_t n) {
    if (!fits(n)) return {};
    ByteSpan out = data_.subspan(pos_, n);
    pos_ += n;
    return out;
}

std::optional<std::string> ByteReader::readCString() {
    ByteSpan r = rest();
    auto nul = std::find(r.begin(), r.end(), std::uint8_t{0});
    if (nul == r.end()) {
        overrun_ = true;
        return std::nullopt;
    }
    std::size_t n = static_cast<std::size_t>(nul - r.begin());
    std::string text = asString(r.first(n));
    pos_ += n + 1;
    return text;
}

bool ByteReader::skip(std::size_t n) {
    if (!fits(n)) return false;
    pos_ += n;
    return true;
}

}  // namespace tarvenox
