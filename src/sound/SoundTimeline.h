// The sounds a movie plays and the frames they start at: what a video of the movie needs to
// carry its sound. Event sounds and streams in MP3, ADPCM, uncompressed PCM and Nellymoser.
#pragma once

#include <cstdint>
#include <vector>

#include "common/Bytes.h"

namespace tarvenox {

class SWFFile;

// How a sound's data is kept for ffmpeg: MP3 frames as an MP3 file holds them, or the
// sound's SWF data in FLV audio tags, whose header byte is the SWF sound format byte (so
// ffmpeg's FLV reader decodes ADPCM, PCM and Nellymoser as they are).
enum class SoundFile { Mp3, Flv };

// One time a sound starts.
struct SoundStart {
    int frame = 0;  // the main timeline's frame, 0 for the first
    int plays = 1;  // how many times it plays in a row (the loop count of StartSound)
};

// A sound and every time it starts (ordered by frame).
struct TimelineSound {
    SoundFile kind = SoundFile::Mp3;
    Bytes data;  // the file's bytes
    std::vector<SoundStart> starts;
};

// The sounds a pass of the main timeline starts:
// - event sounds started by StartSound (by character id) and StartSound2 (by the class name
//   SymbolClass gives a DefineSound); a StartSound that stops a sound starts none;
// - the main timeline's streaming sound, its SoundStreamBlocks joined from the frame of the
//   first;
// - the event sounds of sprites placed on the main timeline, at the sprite's frame after its
//   placing, again at each loop of the sprite while it stays on the stage (a sprite whose
//   frame holds a stop action plays through to that frame once), nested sprites alike.
// Scripts are not run: sounds that scripts start, or sprites they stop, go unheard. Speex
// and unknown formats are left out, as are sounds whose data is cut short. At most
// maxSoundStarts starts are given, the earliest.
inline constexpr std::size_t maxSoundStarts = 200;
std::vector<TimelineSound> timelineSounds(const SWFFile& movie);

// An FLV file of one audio stream in the SWF sound format formatByte: a tag per chunk,
// stamped at the millisecond its first sample plays (samples counting those of the chunks
// before). Empty when no chunk is given or one is too long for a tag.
struct FlvChunk {
    ByteSpan data;
    std::uint64_t firstSample = 0;
};
Bytes flvAudio(std::uint8_t formatByte, const std::vector<FlvChunk>& chunks);

}  // namespace tarvenox
