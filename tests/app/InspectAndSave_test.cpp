// The inspect and save commands, run as a user runs them.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>

#include "support/MovieBuilder.h"
#include "support/ReadMovie.h"
#include "support/TempDir.h"
#include "swf/SWFFile.h"

namespace tarvenox {
namespace {

using test::cstr;
using test::le16;
using test::MovieBuilder;
using test::operator+;
using test::runTarvenox;
using test::TempDir;

Bytes sampleMovie() {
    return MovieBuilder(6, SWFRect{0, 11000, 0, 8000, 0})
        .background(0x33, 0x66, 0x99)
        .tag(48, le16(3) + Bytes{0x90, 0, 5, 'T', 'i', 't', 'l', 'e', 0, 0})
        .tag(20, le16(1) + Bytes{5} + le16(47) + le16(33) + Bytes(80, 0))
        .tag(56, le16(1) + le16(1) + cstr("logo"))
        .tag(12, Bytes{0})
        .showFrame()
        .build();
}

TEST(InspectCommand, ListsHeaderAndTagsAsText) {
    TempDir dir;
    std::string movie = dir.write("movie.swf", sampleMovie());
    auto r = runTarvenox("inspect '" + movie + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("FWS (uncompressed) version 6"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("frame 11000 x 8000 twips"), std::string::npos);
    EXPECT_NE(r.out.find("background #336699"), std::string::npos);
    EXPECT_NE(r.out.find("DefineFont2"), std::string::npos);
    EXPECT_NE(r.out.find("font Title"), std::string::npos);
    EXPECT_NE(r.out.find("id 1 lossless 47x33"), std::string::npos);
    EXPECT_NE(r.out.find("1=\"logo\""), std::string::npos);
}

TEST(InspectCommand, JsonHasEveryTagInFileOrder) {
    TempDir dir;
    std::string movie = dir.write("movie.swf", sampleMovie());
    auto r = runTarvenox("inspect --json '" + movie + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["header"]["frameSize"]["width"], 11000);
    EXPECT_EQ(doc["header"]["fileLength"], sampleMovie().size());
    EXPECT_EQ(doc["backgroundColor"], "#336699");
    std::vector<int> codes;
    for (const auto& tag : doc["tags"]) codes.push_back(tag["code"]);
    EXPECT_EQ(codes, (std::vector<int>{9, 48, 20, 56, 12, 1}));
    EXPECT_EQ(doc["tags"][1]["fontName"], "Title");
    EXPECT_EQ(doc["tags"][2]["length"], 87);
}

TEST(InspectCommand, BrokenMovieIsListedAsFarAsItGoesAndFails) {
    TempDir dir;
    Bytes cut = sampleMovie();
    cut.resize(cut.size() - 10);
    std::string movie = dir.write("cut.swf", cut);
    auto r = runTarvenox("inspect '" + movie + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("DefineFont2"), std::string::npos);
    EXPECT_NE(r.err.find("cut.swf: "), std::string::npos);
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;

    auto missing = runTarvenox("inspect '" + dir.file("none.swf") + "'");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("none.swf: cannot open"), std::string::npos);
}

TEST(SaveCommand, SetsTheBackgroundAndKeepsEverythingElse) {
    TempDir dir;
    std::string movie = dir.write("movie.swf", sampleMovie());
    for (const char* colour : {"'#CC2200'", "13378048"}) {
        std::string out = dir.file("out.swf");
        auto r = runTarvenox("save '" + movie + "' -o '" + out + "' --background " + colour + " -v");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.err.find("writing SWFFile: " + out), std::string::npos);
        Bytes expected = sampleMovie();
        expected[23] = 0xCC;  // header 21 + record header 2: red, green, blue
        expected[24] = 0x22;
        expected[25] = 0x00;
        EXPECT_EQ(test::readBytes(out), expected);
    }
}

TEST(SaveCommand, RefusesBadInputAndWritesNothing) {
    TempDir dir;
    std::string movie = dir.write("movie.swf", sampleMovie());
    Bytes cut = sampleMovie();
    cut.pop_back();
    std::string broken = dir.write("broken.swf", cut);
    std::string out = dir.file("out.swf");

    auto r = runTarvenox("save '" + broken + "' -o '" + out + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("broken.swf: truncated: "), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(out));

    r = runTarvenox("save '" + movie + "' -o '" + out + "' --background '#12345'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("is not a colour"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(out));

    r = runTarvenox("save '" + movie + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("--output"), std::string::npos) << r.err;
}

// A download that stopped where a record ends: only the header's length tells that the
// movie goes on. inspect lists what is there and fails, save writes nothing; both say so
// in the same line, whatever the movie's form.
TEST(SaveCommand, AMovieCutOffBeforeItsHeaderLengthIsRefusedWithBothSizes) {
    TempDir dir;
    const Bytes whole = sampleMovie();
    const Bytes cut(whole.begin(), whole.end() - 7);  // without DoAction, ShowFrame and End tag
    const std::string sizes = std::to_string(cut.size()) + " of " + std::to_string(whole.size()) + " bytes";
    for (const auto form : {SWFCompression::None, SWFCompression::Zlib}) {
        SCOPED_TRACE(signatureOf(form));
        const std::string movie = dir.write("cut.swf", packSWF(cut, form));
        const std::string line =
            "tarvenox: " + movie + ": truncated: " + sizes + (form == SWFCompression::None ? "" : " uncompressed");
        const auto inspected = runTarvenox("inspect '" + movie + "'");
        EXPECT_EQ(inspected.status, 1);
        EXPECT_EQ(inspected.err, line + "\n");
        EXPECT_EQ(inspected.out.find("no End tag"), std::string::npos) << inspected.out;
        const auto saved = runTarvenox("save '" + movie + "' -o '" + dir.file("out.swf") + "'");
        EXPECT_EQ(saved.status, 1);
        EXPECT_EQ(saved.err, line + "; nothing was written\n");
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.swf")));
    }
}

TEST(SaveCommand, KeepsTheFormOfACompressedMovieUnlessToldToWriteItUncompressed) {
    TempDir dir;
    // zlib-compressed, and without its End tag.
    const Bytes plain = test::endedAt(sampleMovie(), sampleMovie().size() - 2);
    dir.write("in.swf", packSWF(plain, SWFCompression::Zlib));
    auto inspected = runTarvenox("inspect in.swf", dir.path());
    ASSERT_EQ(inspected.status, 0) << inspected.err;
    EXPECT_NE(inspected.out.find("CWS (zlib) version 6"), std::string::npos) << inspected.out;
    EXPECT_NE(inspected.out.find("no End tag after the last tag"), std::string::npos) << inspected.out;
    for (const char* option : {"", " --uncompressed"}) {
        SCOPED_TRACE(option);
        auto saved = runTarvenox(std::string("save in.swf -o out.swf --background '#010203'") + option, dir.path());
        ASSERT_EQ(saved.status, 0) << saved.err;
        const Bytes out = test::readBytes(dir.file("out.swf"));
        ASSERT_GE(out.size(), 3u);
        EXPECT_EQ(asString(ByteSpan(out).first(3)), *option == '\0' ? "CWS" : "FWS");
        EXPECT_FALSE(test::readMovie(out, "out.swf").endTagMissing());
    }
}

TEST(CommandLine, HelpIsThereForEveryCommand) {
    for (const char* args : {"--help", "inspect --help", "save --help", "edit --help"}) {
        auto r = runTarvenox(args);
        EXPECT_EQ(r.status, 0) << args;
        EXPECT_NE(r.out.find("Usage"), std::string::npos) << args << r.out;
    }
    auto unknown = runTarvenox("frobnicate");
    EXPECT_EQ(unknown.status, 1);
}

}  // namespace
}  // namespace tarvenox
