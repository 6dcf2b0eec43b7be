// Builds MP3 data for tests.
#include "support/Mp3Builder.h"

#include <algorithm>
#include <stdexcept>

#include "sound/MpegAudioHeader.h"

namespace tarvenox::test {

namespace {

MpegAudioHeader parsed(std::uint32_t header) {
    auto h = MpegAudioHeader::parse(header);
    if (!h || h->frameLength() == 0) throw std::invalid_argument("not a fixed-length frame header");
    return *h;
}

void putBE32(Bytes& out, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

}  // namespace

Bytes mp3Frame(std::uint32_t header) {
    Bytes frame(parsed(header).frameLength(), 0);
    putBE32(frame, 0, header);
    return frame;
}

Bytes headerThenZeros(Bytes bytes, std::size_t size) {
    const std::size_t at = bytes.size() - 4;
    const std::uint32_t word =
        std::uint32_t(bytes[at]) << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3];
    const auto header = MpegAudioHeader::parse(word);
    const std::size_t length = header ? header->frameLength() : 0;
    bytes.resize(std::max(size, length > 0 ? at + 2 * length + 4 : 0), 0);
    for (std::size_t i = 1; i < 3 && length > 0; ++i) putBE32(bytes, at + i * length, word);
    return bytes;
}

Bytes mp3Frames(std::uint32_t header, int count) {
    Bytes out;
    for (int i = 0; i < count; ++i) {
        Bytes frame = mp3Frame(header);
        out.insert(out.end(), frame.begin(), frame.end());
    }
    return out;
}

Bytes infoFrame(std::uint32_t header, std::optional<std::uint32_t> frames, const std::string& marker) {
    Bytes frame = mp3Frame(header);
    const std::size_t at = parsed(header).xingOffset();
    std::copy(marker.begin(), marker.end(), frame.begin() + static_cast<std::ptrdiff_t>(at));
    putBE32(frame, at + 4, frames ? 1u : 0u);  // flags: bit 0, a frame count follows
    if (frames) putBE32(frame, at + 8, *frames);
    return frame;
}

Bytes id3v2Tag(std::size_t size) {
    // "ID3", version 3.0, no flags, a syncsafe size, then padding.
    Bytes tag(size, 0);
    const Bytes head{'I', 'D', '3', 3, 0, 0};
    std::copy(head.begin(), head.end(), tag.begin());
    const std::size_t body = size - 10;
    for (int i = 0; i < 4; ++i) tag[6 + i] = static_cast<std::uint8_t>((body >> (21 - 7 * i)) & 0x7F);
    return tag;
}

Bytes id3v1Tag() {
    Bytes tag(128, ' ');
    tag[0] = 'T';
    tag[1] = 'A';
    tag[2] = 'G';
    return tag;
}

}  // namespace tarvenox::test
