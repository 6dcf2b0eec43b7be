// DefineSound tags built from MP3 data: body layout, format flags and refusals.
#include "common/Texts.h"
#include "sound/Mp3Sound.h"

#include <gtest/gtest.h>

#include "support/MovieBuilder.h"
#include "support/Mp3Builder.h"
#include "support/TempDir.h"

namespace tarvenox {
namespace {

using test::operator+;

using test::headerThenZeros;

std::uint8_t flagByte(std::uint32_t header) {
    Bytes data = test::mp3Frames(header, 3);
    auto sound = soundFromMp3(1, data, "x.mp3");
    return sound ? (*sound)->body()[2] : 0;
}

TEST(SWFDefineSound, BodyHoldsIdFlagsCountAndTheDataFromTheFirstFrame) {
    const Bytes mp3 = headerThenZeros({0xFF, 0xFB, 0x90, 0x64}, 1000000);
    auto made = soundFromMp3(0x1234, Bytes{'a', 'b', 'c'} + mp3, "song.mp3");
    ASSERT_TRUE(made);
    const auto& sound = *made;
    EXPECT_EQ(sound->code(), TagCode::DefineSound);
    ASSERT_EQ(sound->length(), 1000009u);
    ByteSpan body = sound->body();
    EXPECT_EQ(body[0], 0x34);  // SoundId, low byte first
    EXPECT_EQ(body[1], 0x12);
    EXPECT_EQ(body[2], 0x2F);  // MP3, 44 kHz, 16-bit, stereo
    // SoundSampleCount 2756250 = 0x002A0E9A, then SeekSamples 0.
    EXPECT_EQ(Bytes(body.begin() + 3, body.begin() + 9), (Bytes{0x9A, 0x0E, 0x2A, 0x00, 0x00, 0x00}));
    EXPECT_TRUE(std::equal(body.begin() + 9, body.end(), mp3.begin(), mp3.end()));

    auto format = sound->format();
    ASSERT_TRUE(format);
    EXPECT_EQ(format->soundFormat, 2);
    EXPECT_EQ(format->soundRate, 3);
    EXPECT_TRUE(format->sixteenBit);
    EXPECT_TRUE(format->stereo);
    EXPECT_EQ(format->sampleCount, 2756250u);
}

TEST(SWFDefineSound, EveryRateGetsTheNearestAllowedFlag) {
    // MP3 sounds may be flagged 11, 22 or 44 kHz only (SoundRate 1 to 3), never 5.5.
    struct Case {
        const char* name;
        std::uint32_t header;
        std::uint8_t flags;
    };
    const Case cases[] = {
        {"44100 joint stereo", 0xFFFB9064, 0x2F},
        {"48000 stereo", 0xFFFB9404, 0x2F},
        {"32000 stereo", 0xFFFB9804, 0x2F},
        {"24000 stereo", 0xFFF39404, 0x2B},
        {"22050 single channel", 0xFFF380C0, 0x2A},
        {"16000 joint stereo", 0xFFF38844, 0x2B},
        {"12000 stereo", 0xFFE39404, 0x27},
        {"11025 single channel", 0xFFE390C0, 0x26},
        {"8000 stereo", 0xFFE39804, 0x27},
        // Dual channel is flagged mono.
        {"44100 dual channel", 0xFFFB9084, 0x2E},
        {"Layer II 48000 stereo", 0xFFFDE404, 0x2F},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(flagByte(c.header), c.flags);
    }
}

TEST(SWFDefineSound, UnusableMp3IsRefusedWithAMessageNamingTheFile) {
    const std::pair<const char*, Bytes> cases[] = {
        {"empty", {}},
        {"no frame header", Bytes(3000, 0x20)},
        {"free format", headerThenZeros({0xFF, 0xFB, 0x00, 0x64}, 3000)},
    };
    for (const auto& [name, data] : cases) {
        SCOPED_TRACE(name);
        const auto refused = soundFromMp3(1, data, "Musik/Lied ä.mp3");
        ASSERT_FALSE(refused);
        const std::string problem = refused.report().text();
        EXPECT_NE(problem.find("Musik/Lied ä.mp3"), std::string::npos) << problem;
    }

    test::TempDir dir;
    const auto missing = soundFromMp3File(1, dir.file("missing.mp3"));
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.report().text(), text("mp3.unreadable", {dir.file("missing.mp3")}));
    const auto empty = soundFromMp3File(1, dir.write("empty.mp3", ""));
    ASSERT_FALSE(empty);
    EXPECT_EQ(empty.report().text(), text("mp3.noStream", {dir.file("empty.mp3")}));
}

TEST(SWFDefineSound, FormatOfATemplateSound) {
    // A template's 22 kHz 8-bit mono ADPCM sound, as read from a movie.
    SWFDefineSound adpcm(TagCode::DefineSound, Bytes{5, 0, 0b0001'10'0'0} + test::le32(22050));
    auto format = adpcm.format();
    ASSERT_TRUE(format);
    EXPECT_EQ(SWFDefineSound::formatName(format->soundFormat), "ADPCM");
    EXPECT_EQ(SWFDefineSound::rateHz(format->soundRate), 22050);
    EXPECT_FALSE(format->sixteenBit);
    EXPECT_FALSE(format->stereo);
    EXPECT_EQ(format->sampleCount, 22050u);

    EXPECT_FALSE(SWFDefineSound(TagCode::DefineSound, Bytes{5, 0, 0x2F, 1, 2, 3}).format());  // count cut short
}

TEST(SWFDefineSound, FilesFromARealEncoder) {
    const std::string folder = TARVENOX_SOURCE_DIR "/tests/fixtures/sound/";
    struct Case {
        const char* file;
        std::size_t prefix;  // bytes before the first frame
        std::uint8_t flags;
        std::uint32_t samples;
    };
    const Case cases[] = {
        // The Xing frame's count: 25 frames of 576 samples.
        {"lame-vbr-mono-22050-id3v2.mp3", 120, 0x2A, 25 * 576},
        // No Info frame: the 11 frames walked up to the ID3v1 tag.
        {"lame-cbr-stereo-16000-id3v1.mp3", 0, 0x2B, 11 * 576},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const Bytes mp3 = test::readBytes(folder + c.file);
        ASSERT_FALSE(mp3.empty());
        auto made = soundFromMp3File(9, folder + c.file);
        ASSERT_TRUE(made);
        const auto& sound = *made;
        EXPECT_EQ(sound->length(), 9 + mp3.size() - c.prefix);
        EXPECT_EQ(sound->body()[2], c.flags);
        EXPECT_EQ(sound->format()->sampleCount, c.samples);
    }
}

}  // namespace
}  // namespace tarvenox
