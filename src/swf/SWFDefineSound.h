// DefineSound (code 14): an event sound. (Making one from an MP3 file is
// sound/Mp3Sound.h.)
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

    SWFDefineSound(TagCode code, TagBody body) : SWFTag(code, std::move(body)) {}

    // The format fields, or nullopt when the body is too short to hold them.
    std::optional<Format> format() const;

    // "MP3", "ADPCM" and so on; "format N" for a value the SWF format does not define.
    static std::string formatName(int soundFormat);
    // The nominal rate in Hz that a SoundRate value stands for: 5512, 11025, 22050, 44100.
    static int rateHz(int soundRate);
};

// The first DefineSound whose character id is exported under exportName (see
// SWFFile::findExportedId); nullptr when there is none.
SWFDefineSound* findExportedSound(SWFFile& movie, const std::string& exportName);
// The first DefineSound of the character a slot names: the export name, else the
// character id (see SWFFile::findSlotId); nullptr when there is none.
SWFDefineSound* findSoundSlot(SWFFile& movie, const std::string& slot);

}  // namespace tarvenox
