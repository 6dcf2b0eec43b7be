// A tag of an SWF movie.
#include "swf/SWFTag.h"

#include "common/ByteReader.h"
#include "common/ByteWriter.h"

namespace tarvenox {

namespace {
// Bodies shorter than this fit the 6-bit length of the short record header; the value
// itself marks the long form, whose 32-bit length follows.
constexpr std::uint32_t kLongLengthMark = 63;
}  // namespace

std::uint32_t SWFTag::outputSize() const {
    return length() < kLongLengthMark ? length() + 2 : length() + 6;
}

void SWFTag::writeTo(Bytes& out) const {
    const std::uint32_t base = static_cast<std::uint32_t>(code_) << 6;
    if (length() < kLongLengthMark) {
        writeUI16(out, base | length());
    } else {
        writeUI16(out, base | kLongLengthMark);
        writeUI32(out, length());
    }
    out.insert(out.end(), body_.begin(), body_.end());
}

std::uint16_t SWFTag::characterId() const {
    return body_.size() >= 2 ? peekUI16(body_, 0) : 0;
}

void SWFTag::setCharacterId(std::uint16_t id) {
    if (body_.size() < 2) return;
    body_[0] = static_cast<std::uint8_t>(id & 0xFF);
    body_[1] = static_cast<std::uint8_t>(id >> 8);
}

}  // namespace tarvenox
