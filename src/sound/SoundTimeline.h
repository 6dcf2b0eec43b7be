// The MP3 sounds a movie's main timeline plays and the frames they start at: what a video
// of the movie needs to carry its sound.
#pragma once

#include <cstdint>
#include <vector>

#include "common/Bytes.h"

namespace tarvenox {

class SWFFile;

struct TimelineSound {
    int frame = 0;  // the frame it starts at, 0 for the first
    int plays = 1;  // how many times it plays in a row (the loop count of StartSound)
    Bytes mp3;      // MP3 frames, as an MP3 file holds them
};

// The event sounds that StartSound tags of the main timeline start (MP3 DefineSounds; a
// StartSound that stops a sound starts none), and the main timeline's streaming sound when
// it is MP3: the data of its SoundStreamBlocks joined, from the frame of the first. Sounds
// in other formats, and those of sprites, are left out.
std::vector<TimelineSound> timelineSounds(const SWFFile& movie);

}  // namespace tarvenox
