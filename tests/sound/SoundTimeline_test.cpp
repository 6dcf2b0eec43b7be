// The sounds of a movie and the frames they start at: main timeline, sprites, StartSound2,
// and the FLV files that carry the formats other than MP3.
#include "sound/SoundTimeline.h"

#include <gtest/gtest.h>

#include "support/MovieBuilder.h"
#include "support/ReadMovie.h"

namespace tarvenox {
namespace {

using test::cstr;
using test::le16;
using test::operator+;

Bytes defineSound(std::uint16_t id, std::uint8_t flags, const Bytes& data) {
    return le16(id) + Bytes{flags, 0, 0, 0, 0} + data;  // format byte, sample count
}

// A record inside a DefineSprite: short header, code in the upper 10 bits.
Bytes record(int code, const Bytes& body) { return le16(static_cast<std::uint16_t>(code << 6 | body.size())) + body; }

Bytes sprite(std::uint16_t id, std::uint16_t frames, const Bytes& records) {
    return le16(id) + le16(frames) + records + Bytes{0, 0};
}

Bytes startSound(std::uint16_t id) { return le16(id) + Bytes{0x00}; }
Bytes showFrame() { return record(1, {}); }
// PlaceObject2 with a character: flags (HasCharacter), depth, character.
Bytes place(std::uint16_t depth, std::uint16_t character) { return Bytes{0x02} + le16(depth) + le16(character); }

std::vector<int> startFrames(const TimelineSound& sound) {
    std::vector<int> frames;
    for (const SoundStart& start : sound.starts) frames.push_back(start.frame);
    return frames;
}

TEST(SoundTimeline, EventAndStreamSoundsStartAtTheirFrames) {
    test::MovieBuilder builder;
    builder
        .tag(14, defineSound(1, 0x2E, {0, 0, 0xA1, 0xA2}))  // MP3: seek samples, then the frames
        .tag(14, defineSound(2, 0xBE, {0xB1}))              // Speex: left out
        .tag(18, {0x00, 0x2E, 0x00, 0x00, 0x00, 0x00})      // MP3 stream
        .showFrame()
        .tag(19, {9, 9, 9, 9, 0xC1, 0xC2})  // sample count and seek samples, then the frames
        .tag(15, startSound(1))
        .tag(15, startSound(2))
        .showFrame()
        .tag(19, {9, 9, 9, 9, 0xC3})
        .tag(15, le16(1) + Bytes{0x04} + le16(3))  // three times
        .tag(15, le16(1) + Bytes{0x20})            // a stop starts nothing
        .showFrame();
    const auto sounds = timelineSounds(test::readMovie(builder.build()));
    ASSERT_EQ(sounds.size(), 2u);
    EXPECT_EQ(sounds[0].kind, SoundFile::Mp3);
    EXPECT_EQ(sounds[0].data, (Bytes{0xA1, 0xA2}));
    ASSERT_EQ(sounds[0].starts.size(), 2u);
    EXPECT_EQ(sounds[0].starts[0].frame, 1);
    EXPECT_EQ(sounds[0].starts[0].plays, 1);
    EXPECT_EQ(sounds[0].starts[1].frame, 2);
    EXPECT_EQ(sounds[0].starts[1].plays, 3);
    EXPECT_EQ(startFrames(sounds[1]), (std::vector<int>{1}));  // the stream, from its first block, blocks joined
    EXPECT_EQ(sounds[1].data, (Bytes{0xC1, 0xC2, 0xC3}));
}

// Sprites play their sounds at their own frames after being placed, loop while they stay
// on the stage, play once when they stop, and take nested sprites along.
TEST(SoundTimeline, SpritesStartTheirSoundsAsTheyPlay) {
    const Bytes adpcm = defineSound(1, 0x16, {0x40, 0x01, 0x02});  // ADPCM 11 kHz mono
    struct Case {
        const char* name;
        Bytes spriteRecords;
        int removeAt;  // the main frame whose tags take the sprite off, -1 for never
        std::vector<int> expected;
    };
    const Bytes doStop = record(12, {0x07, 0x00});
    const std::vector<Case> cases = {
        // three frames, sound in the second: frames 2 + 1, then every three
        {"loops", showFrame() + record(15, startSound(1)) + showFrame() + showFrame(), -1, {3, 6, 9}},
        {"stops", showFrame() + record(15, startSound(1)) + doStop + showFrame() + showFrame(), -1, {3}},
        {"removed", showFrame() + record(15, startSound(1)) + showFrame() + showFrame(), 6, {3}},
        {"one frame", record(15, startSound(1)) + showFrame(), -1, {2}},
        // sprite 6 inside: placed at the sprite's second frame, sound in its first
        {"nested", showFrame() + record(26, place(1, 6)) + showFrame() + showFrame(), 7, {3, 6}},
    };
    for (const Case& c : cases) {
        test::MovieBuilder builder;
        builder.tag(14, adpcm)
            .tag(39, sprite(6, 2, record(15, startSound(1)) + showFrame() + showFrame()))
            .tag(39, sprite(5, 3, c.spriteRecords))
            .showFrame()
            .showFrame()
            .tag(26, place(3, 5));
        for (int frame = 2; frame < 10; ++frame) {
            if (frame == c.removeAt) builder.tag(28, le16(3));
            builder.showFrame();
        }
        const auto sounds = timelineSounds(test::readMovie(builder.build()));
        ASSERT_EQ(sounds.size(), 1u) << c.name;
        EXPECT_EQ(startFrames(sounds[0]), c.expected) << c.name;
        EXPECT_EQ(sounds[0].kind, SoundFile::Flv);
    }
}

TEST(SoundTimeline, StartSound2FindsTheSoundByItsClass) {
    test::MovieBuilder builder(9);
    builder
        .tag(14, defineSound(4, 0x3E, Bytes(4, 0x11)))  // PCM 44 kHz 16-bit stereo
        .tag(76, le16(1) + le16(4) + cstr("Chime"))
        .showFrame()
        .tag(89, cstr("Unknown") + Bytes{0x00})
        .tag(89, cstr("Chime") + Bytes{0x00})
        .showFrame();
    const auto sounds = timelineSounds(test::readMovie(builder.build()));
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(startFrames(sounds[0]), (std::vector<int>{1}));
}

TEST(SoundTimeline, FlvCarriesTheFormatByteAndStampsChunksBySample) {
    const Bytes a = {1, 2, 3};
    const Bytes b = {4};
    const Bytes flv = flvAudio(0x0A, {{a, 0}, {b, 22050}});                    // 22050 samples at 22 kHz: 1 s
    const Bytes expected = Bytes{'F', 'L', 'V', 1, 4, 0, 0, 0, 9, 0, 0, 0, 0}  // header, size before the first tag
                           + Bytes{8, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0x0A, 1, 2, 3, 0, 0, 0, 15}   // at 0 ms
                           + Bytes{8, 0, 0, 2, 0, 0x03, 0xE8, 0, 0, 0, 0, 0x0A, 4, 0, 0, 0, 13};  // at 1000 ms
    EXPECT_EQ(flv, expected);
    EXPECT_TRUE(flvAudio(0x0A, {}).empty());
}

TEST(SoundTimeline, AStreamInAnUnknownFormatIsLeftOut) {
    test::MovieBuilder builder;
    builder.tag(45, {0x00, 0xBE, 0x00, 0x00}).tag(19, {1, 2, 3, 4, 5}).showFrame();  // Speex
    EXPECT_TRUE(timelineSounds(test::readMovie(builder.build())).empty());
}

}  // namespace
}  // namespace tarvenox
