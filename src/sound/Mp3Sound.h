// DefineSound tags made from MP3 files, and the replacement of a movie's music.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/Report.h"
#include "common/Result.h"
#include "swf/SWFDefineSound.h"

namespace tarvenox {

class SWFFile;

// The DefineSound with the given id for an MP3 file held in memory: its bytes from the
// first frame on become the sound data, unchanged. A file without an acceptable frame
// header, or whose first frame is in free format, is refused with a message for the user
// (UTF-8) that names the file by name.
Result<std::unique_ptr<SWFDefineSound>> soundFromMp3(std::uint16_t soundId, ByteSpan mp3, const std::string& name);
// The same for the MP3 file at path (UTF-8); a file that cannot be read, or is empty, is
// refused like one without frames.
Result<std::unique_ptr<SWFDefineSound>> soundFromMp3File(std::uint16_t soundId, const std::string& path);

// The SoundRate flag for an MP3 stream's sampling rate. MP3 sounds may only be flagged
// 11, 22 or 44 kHz, and a player may resample to the flagged rate, so every rate gets
// the nearest of those: 8, 11.025 and 12 kHz give 1; 16, 22.05 and 24 kHz 2; 32, 44.1
// and 48 kHz 3.
int mp3SoundRate(int samplingRate);

// Whether the MP3 file at path can replace a sound: a report that fails when it cannot be
// read, holds no stream of three chained frames, is in free format or is too large for a
// movie, with soundFromMp3File's message for the user and the reason in English for the
// command line.
Report checkMp3File(const std::string& path);

// Replaces the DefineSound that slotName (a product text) names, the sound exported under
// that name or else the sound with that character id (findSoundSlot), with the MP3 file at
// path. A slot that names no sound changes nothing. A file that holds no usable MP3
// stream keeps the template's music: the report fails with the reason.
Report replaceSound(SWFFile& movie, const std::string& slotName, const std::string& path);

// An MP3 file read and walked once, for both the check and the replacement.
struct SoundConversion {
    // The DefineSound with id 0.
    std::unique_ptr<SWFDefineSound> sound;
};
// Fails as checkMp3File does.
Result<SoundConversion> convertMp3File(const std::string& path);
// replaceSound with the file already converted (the sound may have any id).
Report installSound(SWFFile& movie, const std::string& slotName, Result<SoundConversion> conversion);

}  // namespace tarvenox
