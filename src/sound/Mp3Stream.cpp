// Finding the frames of an MP3 file and counting its samples.
#include "sound/Mp3Stream.h"

#include <limits>

#include "common/ByteReader.h"

namespace tarvenox {

namespace {

// ID3v1: "TAG" and 125 bytes of fixed fields at the very end of the file.
constexpr std::size_t kId3v1Size = 128;

// How many frame headers must chain before data counts as an MP3 stream.
constexpr int kChainLength = 3;

// The bit in a Xing or Info frame's flags that says a frame count follows them.
constexpr std::uint32_t kXingFramesFlag = 0x1;

std::optional<MpegAudioHeader> headerAt(ByteSpan data, std::size_t position) {
    if (data.size() < 4 || position > data.size() - 4) return std::nullopt;
    ByteReader reader(data.subspan(position, 4));
    return MpegAudioHeader::parse(reader.readU32BE());
}

bool isId3v1(ByteSpan rest) { return rest.size() == kId3v1Size && rest[0] == 'T' && rest[1] == 'A' && rest[2] == 'G'; }

// A frame of the same stream: a decoder resynchronising on a stray sync word would
// see the version, layer or sampling rate change.
bool sameStream(const MpegAudioHeader& a, const MpegAudioHeader& b) {
    return a.version == b.version && a.layer == b.layer && a.samplingRateIndex == b.samplingRateIndex;
}

// Whether kChainLength frames of one stream follow each other from position: a sync
// word alone turns up by chance in any data, so one header is no proof of MP3.
bool chainsFrom(ByteSpan data, std::size_t position, const MpegAudioHeader& first) {
    for (int i = 1; i < kChainLength; ++i) {
        const auto header = headerAt(data, position);
        if (!header || !sameStream(*header, first)) return false;
        const std::size_t length = header->frameLength();
        if (length == 0 || length > data.size() - position) return false;
        position += length;
    }
    const auto last = headerAt(data, position);
    return last && sameStream(*last, first);
}

}  // namespace

std::optional<std::size_t> findFirstFrame(ByteSpan data) {
    // A header must lie wholly inside the data: four bytes cut short at the end of
    // the file are no frame.
    for (std::size_t p = 0; p + 4 <= data.size(); ++p) {
        if (data[p] != 0xFF) continue;
        if (auto header = headerAt(data, p); header && chainsFrom(data, p, *header)) return p;
    }
    return std::nullopt;
}

std::optional<std::size_t> findFirstHeader(ByteSpan data) {
    for (std::size_t p = 0; p + 4 <= data.size(); ++p) {
        if (data[p] == 0xFF && headerAt(data, p)) return p;
    }
    return std::nullopt;
}

bool isInfoFrame(ByteSpan data, const MpegAudioHeader& header) {
    if (header.layer != MpegAudioHeader::Layer3) return false;
    const std::size_t at = header.xingOffset();
    const std::size_t frameEnd = std::min(data.size(), header.frameLength());
    if (at + 4 > frameEnd) return false;
    const std::string marker = asString(data.subspan(at, 4));
    return marker == "Xing" || marker == "Info";
}

std::optional<std::uint32_t> infoFrameCount(ByteSpan data, const MpegAudioHeader& header) {
    if (!isInfoFrame(data, header)) return std::nullopt;
    ByteReader reader(data.first(std::min(data.size(), header.frameLength())));
    reader.skip(header.xingOffset() + 4);
    const std::uint32_t flags = reader.readU32BE();
    if ((flags & kXingFramesFlag) == 0) return std::nullopt;
    const std::uint32_t frames = reader.readU32BE();
    if (reader.overrun()) return std::nullopt;
    return frames;
}

std::optional<std::uint32_t> walkFrames(ByteSpan data, const MpegAudioHeader& first) {
    std::size_t position = 0;
    std::size_t lastLength = 0;
    std::uint32_t frames = 0;
    while (auto header = headerAt(data, position)) {
        if (!sameStream(*header, first)) break;
        const std::size_t length = header->frameLength();
        // A free-format frame does not say where the next one starts; a frame cut
        // short by the end of the file is trailing bytes, not audio.
        if (length == 0 || length > data.size() - position) break;
        ++frames;
        position += length;
        lastLength = length;
    }
    const ByteSpan rest = data.subspan(position);
    if (rest.empty() || isId3v1(rest) || (frames > 0 && rest.size() < lastLength)) return frames;
    return std::nullopt;
}

std::uint32_t estimateSampleCount(std::size_t length, const MpegAudioHeader& header) {
    if (header.bitrate() == 0) return 0;
    const double count = static_cast<double>(length) * header.samplingRate() * 0.008 / header.bitrate();
    constexpr auto kMax = std::numeric_limits<std::uint32_t>::max();
    return count >= static_cast<double>(kMax) ? kMax : static_cast<std::uint32_t>(count);
}

Mp3Stream readMp3Stream(ByteSpan data) {
    Mp3Stream stream;
    const auto offset = findFirstFrame(data);
    if (!offset) {
        // Free-format frames do not say their length, so they never chain; a file
        // whose first header is one gets the message that says so.
        const auto header = findFirstHeader(data);
        if (header && headerAt(data, *header)->bitrateIndex == 0) {
            stream.problem = Mp3Stream::Problem::FreeFormat;
            stream.offset = *header;
            stream.first = *headerAt(data, *header);
        } else {
            stream.problem = Mp3Stream::Problem::NoFrame;
        }
        return stream;
    }
    stream.offset = *offset;
    stream.first = *headerAt(data, *offset);
    const ByteSpan frames = data.subspan(*offset);
    const auto samplesPerFrame = static_cast<std::uint32_t>(stream.first.samplesPerFrame());
    constexpr auto kMaxFrames = std::numeric_limits<std::uint32_t>::max() / 1152;

    // The count that an encoder wrote down: a count of zero, or one too large for the
    // sound tag's 32-bit field, is not believed.
    const auto declared = infoFrameCount(frames, stream.first);
    if (declared && *declared > 0 && *declared <= kMaxFrames) {
        stream.sampleCount = *declared * samplesPerFrame;
        stream.countSource = Mp3Stream::CountSource::InfoFrame;
        return stream;
    }
    if (auto walked = walkFrames(frames, stream.first); walked && *walked <= kMaxFrames) {
        // The Xing or Info frame is silent: it stays in the data but plays no samples.
        std::uint32_t audioFrames = *walked;
        if (audioFrames > 0 && isInfoFrame(frames, stream.first)) --audioFrames;
        stream.sampleCount = audioFrames * samplesPerFrame;
        stream.countSource = Mp3Stream::CountSource::FrameWalk;
        return stream;
    }
    stream.sampleCount = estimateSampleCount(frames.size(), stream.first);
    stream.countSource = Mp3Stream::CountSource::Estimate;
    return stream;
}

}  // namespace tarvenox
