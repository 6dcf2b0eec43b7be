// DefineSound.
#include "swf/SWFDefineSound.h"

#include "common/ByteReader.h"

namespace tarvenox {

std::optional<SWFDefineSound::Format> SWFDefineSound::format() const {
    ByteReader reader(body());
    reader.skip(2);  // SoundId
    const std::uint8_t flags = reader.readU8();
    Format format;
    format.sampleCount = reader.readU32LE();
    if (reader.overrun()) return std::nullopt;
    format.soundFormat = flags >> 4;
    format.soundRate = (flags >> 2) & 3;
    format.sixteenBit = (flags & 2) != 0;
    format.stereo = (flags & 1) != 0;
    return format;
}

std::string SWFDefineSound::formatName(int soundFormat) {
    switch (soundFormat) {
        case 0: return "uncompressed";
        case 1: return "ADPCM";
        case 2: return "MP3";
        case 3: return "uncompressed little-endian";
        case 4: return "Nellymoser 16 kHz";
        case 5: return "Nellymoser 8 kHz";
        case 6: return "Nellymoser";
        case 11: return "Speex";
        default: return "format " + std::to_string(soundFormat);
    }
}

int SWFDefineSound::rateHz(int soundRate) {
    static constexpr int kRates[4] = {5512, 11025, 22050, 44100};
    return kRates[soundRate & 3];
}

}  // namespace tarvenox
