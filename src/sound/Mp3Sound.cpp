// DefineSound tags built from MP3 files.
#include "sound/Mp3Sound.h"

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "common/FileIO.h"
#include "common/Texts.h"
#include "sound/Mp3Stream.h"
#include "swf/SWFFile.h"

namespace tarvenox {

namespace {

constexpr int kFormatMp3 = 2;
// SoundId (2), flags (1), SoundSampleCount (4) and, for MP3, SeekSamples (2).
constexpr std::size_t kMp3PrefixSize = 9;
// A tag body's length is a 32-bit field.
constexpr std::size_t kMaxBody = 0xFFFFFFFFu;

// A message for the user; the file is named as the user chose it.
std::string refusal(const std::string& name, const char* id) { return text(id, {name}); }

}  // namespace

int mp3SoundRate(int samplingRate) {
    if (samplingRate < 16000) return 1;
    if (samplingRate < 32000) return 2;
    return 3;
}

namespace {

// Why a stream is refused, for the command line: the file and what is wrong with its data.
std::string streamReason(const Mp3Stream& stream, const std::string& path) {
    switch (stream.problem) {
        case Mp3Stream::Problem::NoFrame: return text("mp3.noStreamReason", {path});
        case Mp3Stream::Problem::FreeFormat: return text("mp3.freeFormatReason", {path});
        case Mp3Stream::Problem::None: break;
    }
    return text("mp3.tooLargeReason", {path});
}

Result<std::unique_ptr<SWFDefineSound>> soundFromStream(std::uint16_t soundId, ByteSpan mp3, const Mp3Stream& stream,
                                                        const std::string& name) {
    auto refused = [&](const char* message) {
        return Report::failure(streamReason(stream, name)).fail(refusal(name, message));
    };
    switch (stream.problem) {
        case Mp3Stream::Problem::NoFrame: return refused("mp3.noStream");
        case Mp3Stream::Problem::FreeFormat: return refused("mp3.freeFormat");
        case Mp3Stream::Problem::None: break;
    }
    const ByteSpan data = mp3.subspan(stream.offset);
    if (data.size() > kMaxBody - kMp3PrefixSize) return refused("mp3.tooLarge");

    const MpegAudioHeader& first = stream.first;
    // Only stereo and joint stereo are flagged stereo; dual channel (two independent
    // programmes) is flagged mono like a single channel.
    const bool stereo =
        first.channelMode == MpegAudioHeader::Stereo || first.channelMode == MpegAudioHeader::JointStereo;
    const auto flags = static_cast<std::uint8_t>(kFormatMp3 << 4 | mp3SoundRate(first.samplingRate()) << 2 |
                                                 1 << 1 |  // SoundSize: 16-bit
                                                 (stereo ? 1 : 0));
    Bytes body;
    body.reserve(kMp3PrefixSize + data.size());
    writeUI16(body, soundId);
    body.push_back(flags);
    writeUI32(body, stream.sampleCount);
    writeUI16(body, 0);  // SeekSamples: the sound starts with its first frame
    body.insert(body.end(), data.begin(), data.end());
    return std::make_unique<SWFDefineSound>(TagCode::DefineSound, std::move(body));
}

}  // namespace

Result<std::unique_ptr<SWFDefineSound>> soundFromMp3(std::uint16_t soundId, ByteSpan mp3, const std::string& name) {
    return soundFromStream(soundId, mp3, readMp3Stream(mp3), name);
}

Result<SoundConversion> convertMp3File(const std::string& path) {
    const auto data = readFileBytes(path);
    if (!data) return Report(data.report()).fail(refusal(path, "mp3.unreadable"));
    auto sound = soundFromStream(0, *data, readMp3Stream(*data), path);
    if (!sound) return sound.report();
    return SoundConversion{sound.take()};
}

Report installSound(SWFFile& movie, const std::string& slotName, Result<SoundConversion> conversion) {
    auto slot = movie.findSlot<SWFDefineSound>(slotName);
    if (slot == movie.tags().end()) return {};
    if (!conversion) return std::move(conversion.report());
    conversion->sound->setCharacterId((*slot)->characterId());
    *slot = std::move(conversion->sound);
    return {};
}

Result<std::unique_ptr<SWFDefineSound>> soundFromMp3File(std::uint16_t soundId, const std::string& path) {
    Result<SoundConversion> conversion = convertMp3File(path);
    if (!conversion) return conversion.report();
    conversion->sound->setCharacterId(soundId);
    return std::move(conversion->sound);
}

Report checkMp3File(const std::string& path) {
    Result<SoundConversion> conversion = convertMp3File(path);
    return conversion ? Report{} : conversion.report();
}

Report replaceSound(SWFFile& movie, const std::string& slotName, const std::string& path) {
    if (findSoundSlot(movie, slotName) == nullptr) return {};
    return installSound(movie, slotName, convertMp3File(path));
}

}  // namespace tarvenox
