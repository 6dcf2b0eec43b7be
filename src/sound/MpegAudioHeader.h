// The four-byte header of an MPEG audio frame (ISO/IEC 11172-3 and 13818-3, with the
// unofficial MPEG 2.5 extension), restricted to the Layer II and Layer III streams
// that an SWF sound can carry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace tarvenox {

struct MpegAudioHeader {
    // Values of the two-bit fields as they stand in the header.
    enum Version : std::uint8_t { Mpeg25 = 0, Mpeg2 = 2, Mpeg1 = 3 };
    enum Layer : std::uint8_t { Layer3 = 1, Layer2 = 2 };
    enum ChannelMode : std::uint8_t { Stereo = 0, JointStereo = 1, DualChannel = 2, SingleChannel = 3 };

    Version version = Mpeg1;
    Layer layer = Layer3;
    std::uint8_t bitrateIndex = 0;       // 0 is free format
    std::uint8_t samplingRateIndex = 0;  // 0 to 2
    bool padded = false;
    ChannelMode channelMode = Stereo;

    // The header of the big-endian word h, when it is acceptable: all eleven sync bits
    // set, a version other than the reserved one, Layer II or III (Layer I and the
    // reserved layer are refused), a bitrate index other than 15 and a sampling rate
    // index other than 3.
    static std::optional<MpegAudioHeader> parse(std::uint32_t h);

    // kbit/s; 0 for free format.
    int bitrate() const;
    // Hz.
    int samplingRate() const;
    // 1152, except 576 for Layer III of MPEG 2 and 2.5.
    int samplesPerFrame() const;
    // The frame's length in bytes, header and padding slot included; 0 for free
    // format, whose length the header does not give.
    std::size_t frameLength() const;
    // Where a Xing or Info marker would stand: 4 header bytes plus the Layer III side
    // information (32, 17 or 9 bytes by version and channel count).
    std::size_t xingOffset() const;
    bool singleChannel() const { return channelMode == SingleChannel; }
};

}  // namespace tarvenox
