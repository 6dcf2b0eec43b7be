// The header fields of a movie.
#include "swf/MovieHeader.h"

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "swf/SWFBitReader.h"
#include "swf/SWFBitWriter.h"

namespace tarvenox {

namespace {
constexpr std::size_t kFileLengthOffset = 4;
}  // namespace

MovieHeader::MovieHeader(std::uint8_t version, SWFRect frame, double frameRate, std::uint16_t frameCount) {
    bytes_ = {'F', 'W', 'S', version, 0, 0, 0, 0};
    SWFBitWriter rect;
    frame.write(rect);
    bytes_.insert(bytes_.end(), rect.bytes().begin(), rect.bytes().end());
    const auto rate = static_cast<std::uint16_t>(frameRate * 256.0 + 0.5);
    writeUI16(bytes_, rate);
    writeUI16(bytes_, frameCount);
}

std::size_t MovieHeader::length(int nBits) {
    // 8 bytes before the RECT, the RECT's 5 + 4 * Nbits bits rounded up to whole
    // bytes, then frame rate and frame count (2 bytes each).
    return 13 + static_cast<std::size_t>((4 * nBits + 5) / 8);
}

std::string MovieHeader::signature() const {
    return bytes_.size() >= 3 ? asString(ByteSpan(bytes_).first(3)) : std::string();
}

SWFCompression MovieHeader::compression() const {
    return compressionOfSignature(signature()).value_or(SWFCompression::None);
}

std::uint8_t MovieHeader::version() const { return bytes_.size() > 3 ? bytes_[3] : 0; }

std::uint32_t MovieHeader::fileLengthField() const {
    if (bytes_.size() < 8) return 0;
    ByteReader reader(ByteSpan(bytes_).subspan(kFileLengthOffset, 4));
    return reader.readU32LE();
}

SWFRect MovieHeader::frameRect() const {
    if (bytes_.size() <= kFrameRectOffset) return {};
    SWFBitReader reader(ByteSpan(bytes_).subspan(kFrameRectOffset));
    return SWFRect::read(reader);
}

double MovieHeader::frameRate() const {
    if (bytes_.size() < 4) return 0;
    // 8.8 fixed point: the fraction byte comes first.
    const std::size_t at = bytes_.size() - 4;
    return bytes_[at + 1] + bytes_[at] / 256.0;
}

std::uint16_t MovieHeader::frameCount() const {
    if (bytes_.size() < 2) return 0;
    return peekUI16(bytes_, bytes_.size() - 2);
}

void MovieHeader::setCompression(SWFCompression compression) {
    if (bytes_.size() < 3) return;
    const char* sig = signatureOf(compression);
    std::copy(sig, sig + 3, bytes_.begin());
}

Bytes MovieHeader::withFileLength(std::uint64_t length) const {
    Bytes out = bytes_;
    if (out.size() < kFileLengthOffset + 4) return out;
    for (int i = 0; i < 4; ++i) out[kFileLengthOffset + i] = static_cast<std::uint8_t>((length >> (8 * i)) & 0xFF);
    return out;
}

}  // namespace tarvenox
