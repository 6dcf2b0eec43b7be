// The MP3 sounds of a movie's main timeline and the frames they start at.
#include "sound/SoundTimeline.h"

#include <gtest/gtest.h>

#include "support/MovieBuilder.h"
#include "support/ReadMovie.h"

namespace tarvenox {
namespace {

using test::le16;
using test::operator+;

Bytes defineSound(std::uint16_t id, std::uint8_t flags, const Bytes& data) {
    return le16(id) + Bytes{flags, 0, 0, 0, 0, 0, 0} + data;  // sample count, seek samples
}

TEST(SoundTimeline, EventAndStreamSoundsStartAtTheirFrames) {
    test::MovieBuilder builder;
    builder
        .tag(14, defineSound(1, 0x2E, {0xA1, 0xA2}))    // MP3
        .tag(14, defineSound(2, 0x3E, {0xB1}))          // Nellymoser: left out
        .tag(18, {0x00, 0x2E, 0x00, 0x00, 0x00, 0x00})  // MP3 stream
        .showFrame()
        .tag(19, {9, 9, 9, 9, 0xC1, 0xC2})  // sample count and seek samples, then the frames
        .tag(15, le16(1) + Bytes{0x00})
        .tag(15, le16(2) + Bytes{0x00})
        // a sprite's StartSound and ShowFrame (records C3 03 and 40 00) stay in the sprite
        .tag(39, le16(7) + le16(1) + Bytes{0xC3, 0x03} + le16(1) + Bytes{0x00, 0x40, 0x00, 0x00, 0x00})
        .showFrame()
        .tag(19, {9, 9, 9, 9, 0xC3})
        .tag(15, le16(1) + Bytes{0x04} + le16(3))  // three times
        .tag(15, le16(1) + Bytes{0x20})            // a stop starts nothing
        .showFrame();
    const auto sounds = timelineSounds(test::readMovie(builder.build()));
    ASSERT_EQ(sounds.size(), 3u);
    EXPECT_EQ(sounds[0].frame, 1);
    EXPECT_EQ(sounds[0].plays, 1);
    EXPECT_EQ(sounds[0].mp3, (Bytes{0xA1, 0xA2}));
    EXPECT_EQ(sounds[1].frame, 2);
    EXPECT_EQ(sounds[1].plays, 3);
    EXPECT_EQ(sounds[2].frame, 1);  // the stream, from its first block, blocks joined
    EXPECT_EQ(sounds[2].mp3, (Bytes{0xC1, 0xC2, 0xC3}));
}

TEST(SoundTimeline, AStreamInAnotherFormatIsLeftOut) {
    test::MovieBuilder builder;
    builder.tag(45, {0x00, 0x1E, 0x00, 0x00}).tag(19, {1, 2, 3, 4, 5}).showFrame();  // ADPCM
    EXPECT_TRUE(timelineSounds(test::readMovie(builder.build())).empty());
}

}  // namespace
}  // namespace tarvenox
