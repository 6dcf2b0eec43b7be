// Replacing a movie's music: which DefineSound is replaced, and what stays.
#include <gtest/gtest.h>

#include "common/Messages.h"
#include "sound/Mp3Sound.h"
#include "support/MovieBuilder.h"
#include "support/Mp3Builder.h"
#include "support/ReadMovie.h"
#include "support/TempDir.h"
#include "swf/SWFFile.h"
#include "swf/SWFWriter.h"

namespace tarvenox {
namespace {

using test::cstr;
using test::le16;
using test::le32;
using test::operator+;

// An ADPCM template sound with the given id.
Bytes templateSound(std::uint16_t id) { return le16(id) + Bytes{0x16} + le32(100) + Bytes(20, 7); }

// Tags: 0 ExportAssets "music" -> 5 and "extra" -> 6 (second asset), 1 ExportAssets
// "Music" -> 6, 2 DefineSound 6, 3 DefineSound 5, 4 DefineSound 5, 5 ShowFrame.
Bytes movieWithSounds() {
    return test::MovieBuilder()
        .tag(56, le16(2) + le16(5) + cstr("music") + le16(6) + cstr("extra"))
        .tag(56, le16(1) + le16(6) + cstr("Music"))
        .tag(14, templateSound(6))
        .tag(14, templateSound(5))
        .tag(14, templateSound(5))
        .showFrame()
        .build();
}

class ReplaceSound : public ::testing::Test {
protected:
    void SetUp() override {
        mp3 = test::id3v2Tag(40) + test::mp3Frames(test::kMpeg1Layer3_128k_44100_Joint, 4);
        mp3Path = dir.write("song.mp3", mp3);
    }
    Bytes bodyOf(SWFFile& movie, std::size_t index) {
        ByteSpan body = movie.tags().at(index)->body();
        return Bytes(body.begin(), body.end());
    }

    test::TempDir dir;
    Bytes mp3;
    std::string mp3Path;
};

TEST_F(ReplaceSound, FirstSoundWithTheExportedIdTakesTheMp3InItsPlace) {
    SWFFile movie = test::readMovie(movieWithSounds(), "movie.swf");
    const Bytes before = serializeSWF(movie);
    (void)replaceSound(movie, "music", mp3Path);

    ASSERT_EQ(movie.tags().size(), 6u);
    auto* sound = dynamic_cast<SWFDefineSound*>(movie.tags()[3].get());
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->characterId(), 5);
    EXPECT_EQ(sound->format()->soundFormat, 2);
    EXPECT_EQ(sound->format()->sampleCount, 4u * 1152);  // the four frames walked
    EXPECT_EQ(sound->length(), 9 + mp3.size() - 40);     // the ID3v2 tag is left out
    EXPECT_EQ(bodyOf(movie, 2), templateSound(6));
    EXPECT_EQ(bodyOf(movie, 4), templateSound(5));

    // The written movie holds the new sound behind a long record header and reads back.
    SWFFile reread = test::readMovie(serializeSWF(movie), "saved.swf");
    EXPECT_EQ(Bytes(reread.tags()[3]->body().begin(), reread.tags()[3]->body().end()), bodyOf(movie, 3));
    EXPECT_NE(before, serializeSWF(movie));
}

TEST_F(ReplaceSound, NamesAreFoundInEveryPairOfTheFirstTagNamingThem) {
    for (const char* name : {"MUSIC", "musi", ""}) {
        SCOPED_TRACE(name);
        SWFFile movie = test::readMovie(movieWithSounds(), "movie.swf");
        const Bytes before = serializeSWF(movie);
        (void)replaceSound(movie, name, mp3Path);
        EXPECT_EQ(serializeSWF(movie), before);
    }
    // "extra" (a second pair) and "Music" both export id 6, which is the first sound.
    for (const char* name : {"extra", "Music"}) {
        SCOPED_TRACE(name);
        SWFFile movie = test::readMovie(movieWithSounds(), "movie.swf");
        (void)replaceSound(movie, name, mp3Path);
        EXPECT_EQ(movie.tags()[2]->characterId(), 6);
        EXPECT_EQ(movie.tags()[2]->length(), 9 + mp3.size() - 40);
    }
}

TEST_F(ReplaceSound, UnusableMp3KeepsTheTemplateSoundAndTellsTheUser) {
    const std::string bad = dir.write("notes.mp3", std::string(2000, 'x'));
    const std::string missing = dir.file("gone.mp3");
    for (const std::string& path : {bad, missing}) {
        SCOPED_TRACE(path);
        SWFFile movie = test::readMovie(movieWithSounds(), "movie.swf");
        const Bytes before = serializeSWF(movie);
        const Report report = replaceSound(movie, "music", path);
        EXPECT_EQ(serializeSWF(movie), before);
        EXPECT_TRUE(report.failed());
        ASSERT_EQ(report.messages().size(), 1u);
        EXPECT_NE(report.messages()[0].text.find(path), std::string::npos);
        EXPECT_EQ(report.messages()[0].kind, MessageKind::Information);
    }

    // Without a sound to replace the file is not even read, so nothing is said.
    SWFFile movie = test::readMovie(movieWithSounds(), "movie.swf");
    const Report report = replaceSound(movie, "nothing", bad);
    EXPECT_FALSE(report.failed());
    EXPECT_TRUE(report.messages().empty());
}

}  // namespace
}  // namespace tarvenox
