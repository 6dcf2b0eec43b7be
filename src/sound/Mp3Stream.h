// What an SWF sound needs to know about an MP3 file: where its first frame starts,
// the stream's format, and how many samples it plays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "common/Bytes.h"
#include "sound/MpegAudioHeader.h"

namespace tarvenox {

struct Mp3Stream {
    enum class Problem {
        None,
        NoFrame,     // no three chained frame headers anywhere in the data
        FreeFormat,  // none, and the first header has bitrate index 0 (free format)
    };
    // How sampleCount was found, from the most to the least reliable.
    enum class CountSource { InfoFrame, FrameWalk, Estimate };

    Problem problem = Problem::None;
    std::size_t offset = 0;  // of the first frame; nothing before it is sound data
    MpegAudioHeader first;
    std::uint32_t sampleCount = 0;
    CountSource countSource = CountSource::Estimate;
};

// Looks at an MP3 file held in memory. The first frame is the first position, moving
// one byte at a time, whose four bytes form an acceptable header that starts a chain
// of three frames of one stream (each header giving the next one's place, version,
// layer and sampling rate agreeing), so an ID3v2 tag or any other prefix is stepped
// over without being parsed, and random data is not taken for sound. The sample count is exact
// where the file allows it: the frame count of a Xing or Info frame at the start, else
// the frames walked header by header when that walk reaches the end of the data; only
// otherwise is it estimated from the first frame's bitrate.
Mp3Stream readMp3Stream(ByteSpan data);

// The position of the first frame, searched as readMp3Stream does.
std::optional<std::size_t> findFirstFrame(ByteSpan data);
// The position of the first acceptable header, chained or not.
std::optional<std::size_t> findFirstHeader(ByteSpan data);

// Whether the frame at the start of data is a Xing or Info frame (the header that
// encoders put in front of variable-bitrate streams, and of constant-bitrate ones
// since LAME): a Layer III frame whose side information is followed by the marker.
bool isInfoFrame(ByteSpan data, const MpegAudioHeader& header);

// The audio frame count that such a frame declares, when it declares one.
std::optional<std::uint32_t> infoFrameCount(ByteSpan data, const MpegAudioHeader& header);

// Walks the frames from the start of data, each header giving the next one's place.
// The walk counts as reaching the end when what remains after the last whole frame is
// nothing, an ID3v1 tag, or less than one frame. Returns the number of frames walked
// then, nullopt when the walk stops short of the end.
std::optional<std::uint32_t> walkFrames(ByteSpan data, const MpegAudioHeader& first);

// The playing time of length bytes at the header's bitrate, in samples: length ×
// sampling rate × 0.008 ÷ bitrate in double precision, truncated (and held to 32 bits).
std::uint32_t estimateSampleCount(std::size_t length, const MpegAudioHeader& header);

}  // namespace tarvenox
