// MPEG audio frame header fields and the standard's tables.
#include "sound/MpegAudioHeader.h"

namespace tarvenox {

namespace {

// kbit/s by bitrate index (15, "bad", is refused before any lookup).
constexpr int kMpeg1Layer2[15] = {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384};
constexpr int kMpeg1Layer3[15] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
// MPEG 2 and 2.5 share one table for Layers II and III.
constexpr int kMpeg2Layer23[15] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};

// Hz by sampling rate index, for MPEG 1; MPEG 2 halves it and MPEG 2.5 quarters it.
constexpr int kMpeg1Rates[3] = {44100, 48000, 32000};

}  // namespace

std::optional<MpegAudioHeader> MpegAudioHeader::parse(std::uint32_t h) {
    const std::uint32_t sync = h >> 21;
    const std::uint32_t version = (h >> 19) & 3;
    const std::uint32_t layer = (h >> 17) & 3;
    const std::uint32_t bitrateIndex = (h >> 12) & 15;
    const std::uint32_t rateIndex = (h >> 10) & 3;
    if (sync != 0x7FF || version == 1 || layer == 0 || layer == 3 || bitrateIndex == 15 || rateIndex == 3) {
        return std::nullopt;
    }
    MpegAudioHeader header;
    header.version = static_cast<Version>(version);
    header.layer = static_cast<Layer>(layer);
    header.bitrateIndex = static_cast<std::uint8_t>(bitrateIndex);
    header.samplingRateIndex = static_cast<std::uint8_t>(rateIndex);
    header.padded = ((h >> 9) & 1) != 0;
    header.channelMode = static_cast<ChannelMode>((h >> 6) & 3);
    return header;
}

int MpegAudioHeader::bitrate() const {
    if (version != Mpeg1) return kMpeg2Layer23[bitrateIndex];
    return layer == Layer2 ? kMpeg1Layer2[bitrateIndex] : kMpeg1Layer3[bitrateIndex];
}

int MpegAudioHeader::samplingRate() const {
    const int rate = kMpeg1Rates[samplingRateIndex];
    switch (version) {
        case Mpeg1: return rate;
        case Mpeg2: return rate / 2;
        case Mpeg25: return rate / 4;
    }
    return rate;
}

int MpegAudioHeader::samplesPerFrame() const { return layer == Layer3 && version != Mpeg1 ? 576 : 1152; }

std::size_t MpegAudioHeader::frameLength() const {
    // Bytes per frame = samples per frame / 8 * bits per second / samples per second;
    // the padding slot is one byte in Layers II and III.
    const auto bitsPerSecond = static_cast<std::size_t>(bitrate()) * 1000;
    const std::size_t length = static_cast<std::size_t>(samplesPerFrame()) / 8 * bitsPerSecond / samplingRate();
    return length == 0 ? 0 : length + (padded ? 1 : 0);
}

std::size_t MpegAudioHeader::xingOffset() const {
    if (version == Mpeg1) return singleChannel() ? 4 + 17 : 4 + 32;
    return singleChannel() ? 4 + 9 : 4 + 17;
}

}  // namespace tarvenox
