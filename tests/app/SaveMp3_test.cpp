// Replacing music from the command line, and what inspect tells about sounds.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/Texts.h"
#include "support/MovieBuilder.h"
#include "support/Mp3Builder.h"
#include "support/TempDir.h"

namespace tarvenox {
namespace {

using test::cstr;
using test::le16;
using test::le32;
using test::operator+;
using test::runTarvenox;
using test::TempDir;

// Two exported ADPCM sounds: "b" is id 1 and "Intro" id 2.
Bytes movieWithMusic() {
    const Bytes adpcm = Bytes{0x16} + le32(100) + Bytes(30, 1);
    return test::MovieBuilder()
        .background(0, 0, 0)
        .tag(14, le16(1) + adpcm)
        .tag(14, le16(2) + adpcm)
        .tag(56, le16(1) + le16(1) + cstr("b"))
        .tag(56, le16(1) + le16(2) + cstr("Intro"))
        .showFrame()
        .build();
}

TEST(SaveMp3, ReplacesSoundsInExportNameOrder) {
    TempDir dir;
    const std::string movie = dir.write("movie.swf", movieWithMusic());
    const std::string song = dir.write("song.mp3", test::mp3Frames(test::kMpeg1Layer3_128k_44100_Joint, 3));
    const std::string speech = dir.write("speech.mp3", test::mp3Frames(test::kMpeg2Layer3_64k_22050_Mono, 5));
    const std::string out = dir.file("out.swf");

    auto r = runTarvenox("save '" + movie + "' -o '" + out + "' --mp3 'b=" + song + "' --mp3 'Intro=" + speech +
                         "' --verbose");
    ASSERT_EQ(r.status, 0) << r.err;
    // Capitals sort first, whatever the order on the command line.
    const auto intro = r.err.find("replacing mp3 Intro with mp3 " + speech + "\n");
    const auto b = r.err.find("replacing mp3 b with mp3 " + song + "\n");
    ASSERT_NE(intro, std::string::npos) << r.err;
    ASSERT_NE(b, std::string::npos) << r.err;
    EXPECT_LT(intro, b);

    auto listing = runTarvenox("inspect '" + out + "'");
    ASSERT_EQ(listing.status, 0) << listing.err;
    EXPECT_NE(listing.out.find("id 1 MP3 44100 Hz stereo 3456 samples"), std::string::npos) << listing.out;
    EXPECT_NE(listing.out.find("id 2 MP3 22050 Hz mono 2880 samples"), std::string::npos) << listing.out;
}

TEST(SaveMp3, UnusableOrMalformedReplacementWritesNothing) {
    TempDir dir;
    const std::string movie = dir.write("movie.swf", movieWithMusic());
    const std::string notMp3 = dir.write("notes.mp3", std::string(500, 'x'));
    const std::string out = dir.file("out.swf");

    auto r = runTarvenox("save '" + movie + "' -o '" + out + "' --mp3 'b=" + notMp3 + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "tarvenox: --mp3 b: " + text("mp3.noStreamReason", {notMp3}) + "\n");
    EXPECT_FALSE(std::filesystem::exists(out));

    for (const char* bad : {"b", "=song.mp3", "b="}) {
        r = runTarvenox("save '" + movie + "' -o '" + out + "' --mp3 '" + bad + "'");
        EXPECT_EQ(r.status, 1) << bad;
        EXPECT_NE(r.err.find(text("form.notInForm", {"--mp3", bad, text("form.exportFile")})), std::string::npos)
            << r.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

}  // namespace
}  // namespace tarvenox
