// DefineSound (code 14): an event sound, here always MP3 data.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "swf/SWFTag.h"

namespace tarvenox {

class SWFFile;

class SWFDefineSound : public SWFTag {
public:
    // The fields before the sound data (SWF file format, DefineSound).
    struct Format {
        int soundFormat = 0;  // 2 is MP3
        int soundRate = 0;    // 0 to 3: 5.5, 11, 22 or 44 kHz
        bool sixteenBit = false;
        bool stereo = false;
        std::uint32_t sampleCount = 0;
    };

    SWFDefineSound(int code, Bytes body) : SWFTag(code, std::move(body)) {}

    // The DefineSound with the given id for an MP3 file held in memory: its bytes from
    // the first frame on become the sound data, unchanged. A file without an
    // acceptable frame header, or whose first frame is in free format, gives nullptr
    // and *problem (when given) a message for the user (UTF-8) that names the file
    // by name.
    static std::unique_ptr<SWFDefineSound> fromMp3(std::uint16_t soundId, ByteSpan mp3,
                                                   const std::string& name,
                                                   std::string* problem = nullptr);
    // The same for the MP3 file at path (UTF-8); a file that cannot be read, or is
    // empty, is refused like one without frames.
    static std::unique_ptr<SWFDefineSound> fromMp3File(std::uint16_t soundId,
                                                       const std::string& path,
                                                       std::string* problem = nullptr);

    // The format fields, or nullopt when the body is too short to hold them.
    std::optional<Format> format() const;

    // "MP3", "ADPCM" and so on; "format N" for a value the SWF format does not define.
    static std::string formatName(int soundFormat);
    // The nominal rate in Hz that a SoundRate value stands for: 5512, 11025, 22050, 44100.
    static int rateHz(int soundRate);
};

// The SoundRate flag for an MP3 stream's sampling rate. MP3 sounds may only be
// flagged 11, 22 or 44 kHz, and a player may resample to the flagged rate, so every
// rate gets the nearest of those: 8, 11.025 and 12 kHz give 1; 16, 22.05 and 24 kHz 2;
// 32, 44.1 and 48 kHz 3.
int mp3SoundRate(int samplingRate);

// The first DefineSound whose character id is exported under exportName (see
// SWFFile::findExportedId); nullptr when there is none.
SWFDefineSound* findExportedSound(SWFFile& movie, const std::string& exportName);

}  // namespace tarvenox
