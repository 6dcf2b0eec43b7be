// `tarvenox save --template`: a template of an installation saved as the interactive
// program saves it, run as a user runs it.
#include <gtest/gtest.h>

#include <algorithm>

#include <png.h>

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>

#include "common/Texts.h"
#include "support/Installation.h"
#include "support/MovieBuilder.h"
#include "support/Mp3Builder.h"
#include "support/PictureFiles.h"
#include "support/ReadMovie.h"
#include "support/TempDir.h"
#include "swf/SWFDefineSound.h"
#include "swf/SWFFile.h"
#include "swf/SWFImage.h"
#include "swf/SWFType.h"

namespace tarvenox {
namespace {

namespace fs = std::filesystem;
using test::runTarvenox;
using test::TempDir;

// An installation, a folder the user works in, and a private temporary folder, with
// no installation values from the machine.
class SaveTemplate : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeInstallation(installation);
        ::setenv("TARVENOX_REGISTRY", installation.file("no-registry").c_str(), 1);
        ::setenv("TMPDIR", temporary.path().c_str(), 1);
        test::PngPicture grey{.width = 20, .height = 20, .colorType = PNG_COLOR_TYPE_GRAY};
        grey.rows.assign(20, Bytes(20, 0x80));
        png = work.write("pic.png", test::encodePng(grey));
        jpeg = work.write("pic.jpg", test::encodeJpeg(16, 16, false));
        mp3 = work.write("song.mp3", test::mp3Frames(test::kMpeg1Layer3_128k_44100_Joint, 6));
    }
    void TearDown() override {
        ::unsetenv("TARVENOX_REGISTRY");
        ::unsetenv("TMPDIR");
    }
    test::RunResult save(const std::string& options) {
        return runTarvenox("save --data '" + installation.path() + "' -o out.swf " + options, work.path());
    }
    bool outputWritten() const { return fs::exists(work.file("out.swf")); }

    TempDir installation;
    TempDir work;
    TempDir temporary;
    std::string png;
    std::string jpeg;
    std::string mp3;
};

TEST_F(SaveTemplate, AppliesEveryChangeInTheSaveOrderAndSavesTheSameBytesTwice) {
    const std::string options = "--template card --font 'Title=DejaVu Sans' --image logo=pic.png --image Back=pic.jpg "
                                "--mp3 music=song.mp3 --var title=Grüße --var count=7 --background '#336699'";
    // Quiet on success; the diagnostic log only with --verbose, on standard error.
    auto r = save(options);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    r = save("--verbose " + options);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    // Fonts, pictures (capitals first), sounds; the paths as the user gave them.
    const std::size_t font = r.err.find("replacing font Title with font DejaVu Sans\n");
    const std::size_t back = r.err.find("replacing image Back with image pic.jpg\n");
    const std::size_t logo = r.err.find("replacing image logo with image pic.png\nnew size\n");
    const std::size_t music = r.err.find("replacing mp3 music with mp3 song.mp3\n");
    const std::size_t written = r.err.find("writing SWFFile: ");
    ASSERT_NE(font, std::string::npos) << r.err;
    ASSERT_NE(back, std::string::npos) << r.err;
    ASSERT_NE(logo, std::string::npos) << r.err;
    ASSERT_NE(music, std::string::npos) << r.err;
    EXPECT_TRUE(font < back && back < logo && logo < music && music < written) << r.err;
    EXPECT_NE(r.err.find("~Application\n"), std::string::npos);

    SWFFile movie = test::readMovie(work.file("out.swf"));
    auto& tags = movie.tags();
    ASSERT_EQ(tags.size(), 11u);
    EXPECT_EQ(Bytes(tags[0]->body().begin(), tags[0]->body().end()), (Bytes{0x33, 0x66, 0x99}));
    EXPECT_GT(tags[1]->length(), 10000u);  // real outlines for the 224 characters
    auto* logoImage = dynamic_cast<SWFImage*>(tags[2].get());
    auto* backImage = dynamic_cast<SWFImage*>(tags[4].get());
    ASSERT_TRUE(logoImage && backImage);
    EXPECT_EQ(logoImage->width(), 20);
    EXPECT_EQ(backImage->code(), TagCode::DefineBitsJPEG2);
    EXPECT_EQ(backImage->height(), 16);
    auto* sound = dynamic_cast<SWFDefineSound*>(tags[5].get());
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->characterId(), 5);
    EXPECT_EQ(sound->format()->sampleCount, 6u * 1152);
    // Every variable of the template in its configured order and type: the named ones
    // with their new values, the others with their configured ones; the template is a
    // version 6 movie, so its texts are written in UTF-8.
    ActionVariables expected;
    expected.push_back(makeSWFType('s', "title",
                                   "Gr\xFC\xDF"
                                   "e"));
    expected.push_back(makeSWFType('i', "count", "7"));
    expected.push_back(makeSWFType('b', "shown", "true"));
    expected[1]->setValue("7");
    expected[2]->setValue("true");
    const Bytes actions = actionBytes(expected, MovieTextEncoding::Utf8);
    EXPECT_EQ(Bytes(tags[9]->body().begin(), tags[9]->body().end()), actions);

    const Bytes first = test::readBytes(work.file("out.swf"));
    r = save(options);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::readBytes(work.file("out.swf")), first);
    // Shutdown removed the working folder.
    EXPECT_TRUE(fs::is_empty(temporary.path()));
}

TEST_F(SaveTemplate, AnotherParserReadsTheSavedMovieCompletely) {
    const std::string script = TARVENOX_SOURCE_DIR "/tests/app/swf_parser_summary.mjs";
    const std::string probe = "cd '" TARVENOX_SOURCE_DIR "' && node -e \"import('swf-parser')\" 2>/dev/null";
    if (std::system(probe.c_str()) != 0) {
        GTEST_SKIP() << "node or the npm package swf-parser is missing (scripts/setup installs them)";
    }
    auto r = save("--template card --font 'Title=DejaVu Sans' --image logo=pic.png "
                  "--image Back=pic.jpg --mp3 music=song.mp3 --var title=Grüße --background '#336699'");
    ASSERT_EQ(r.status, 0) << r.err;
    TempDir capture;
    const int status = std::system(
        ("node '" + script + "' '" + work.file("out.swf") + "' >'" + capture.file("out") + "' 2>&1").c_str());
    const std::string out = test::readText(capture.file("out"));
    ASSERT_EQ(status, 0) << out;
    const auto summary = nlohmann::json::parse(out);
    std::vector<std::string> types;
    for (const auto& tag : summary["tags"]) types.push_back(tag["type"]);
    // Every tag parsed into its own kind: none is left as raw bytes.
    EXPECT_EQ(types, (std::vector<std::string>{"SetBackgroundColor", "DefineFont", "DefineBitmap", "DefineShape",
                                               "DefineBitmap", "DefineSound", "ExportAssets", "ExportAssets",
                                               "ExportAssets", "DoAction", "ShowFrame"}));
    const auto& tags = summary["tags"];
    EXPECT_EQ(tags[0]["color"], (nlohmann::json{{"r", 0x33}, {"g", 0x66}, {"b", 0x99}}));
    EXPECT_EQ(tags[1]["fontName"], "Title");
    EXPECT_EQ(tags[1]["glyphs"], 224);
    EXPECT_EQ(tags[2]["width"], 20);
    EXPECT_EQ(tags[4]["mediaType"], "image/jpeg");
    EXPECT_EQ(tags[5]["format"], 2);  // MP3
    EXPECT_EQ(tags[5]["soundRate"], 44000);
    EXPECT_EQ(tags[5]["soundType"], 1);
    EXPECT_EQ(tags[5]["sampleCount"], 6 * 1152);
    EXPECT_EQ(tags[5]["bytes"], 2 + 6 * 417);  // SeekSamples, then the frames
}

TEST_F(SaveTemplate, TemplatesInArchivesAndFoldersAreFoundByTheirWholeName) {
    auto r = save("--template 'extra\\poster' --var headline=Neu");
    ASSERT_EQ(r.status, 0) << r.err;
    SWFFile movie = test::readMovie(work.file("out.swf"));
    ActionVariables expected;
    expected.push_back(makeSWFType('s', "headline", "Neu"));
    const Bytes actions = actionBytes(expected, MovieTextEncoding::Utf8);
    EXPECT_EQ(Bytes(movie.tags()[9]->body().begin(), movie.tags()[9]->body().end()), actions);
}

TEST_F(SaveTemplate, RefusedChangesLeaveNothingWritten) {
    const std::string progressive = work.write("p.JPG", test::encodeJpeg(16, 16, true));
    const std::string notMp3 = work.write("notes.mp3", std::string(900, 'x'));
    struct Case {
        std::string options;
        std::string message;
    };
    const Case cases[] = {
        // Where the interactive program shows the JPEG check's message, the command line
        // says the same in one line that names the option and the file.
        {"--template card --image logo=p.JPG", "tarvenox: --image logo: p.JPG: " + text("jpeg.progressive") + "\n"},
        {"--template card --mp3 music=notes.mp3",
         "tarvenox: --mp3 music: " + text("mp3.noStreamReason", {"notes.mp3"})},
        {"--template card --var nope=1", "declares no variable 'nope' (it declares title, count, shown)"},
        {"--template card --var title", "--var: 'title' is not NAME=VALUE"},
        {"--template card --image nothing=pic.png", "the movie exports no picture named 'nothing'"},
        {"--template card --mp3 logo=song.mp3", "the movie exports no sound named 'logo'"},
        {"--template card --font 'title=DejaVu Sans'", "no font (DefineFont2 or DefineFont3) named 'title'"},
        {"--template absent", "the installation has no template 'absent'"},
        {"--template card in.swf", text("cli.excludes", {"movie", "--template"})},
        // An option of another command with its value: not the program's own MOVIE.
        {"in.swf --frames 10", text("cli.unexpected", {"--frames 10"})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        auto r = save(c.options);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(outputWritten());
    }
    EXPECT_TRUE(fs::is_empty(temporary.path()));

    auto neither = runTarvenox("save -o out.swf", work.path());
    EXPECT_EQ(neither.status, 1);
    EXPECT_NE(neither.err.find("give either a MOVIE or --template NAME"), std::string::npos) << neither.err;

    auto r = runTarvenox("save --template card --data '" + installation.file("none") + "' -o out.swf", work.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("is not a folder"), std::string::npos) << r.err;
}

// With --html an output named as the page (any case of ".html") saves the movie beside
// it under the movie's name, as the save dialog does: the page never takes the movie's
// place. A movie's name keeps its page beside it.
TEST_F(SaveTemplate, APageNamedAsTheOutputHasTheMovieBesideIt) {
    TempDir share;
    share.write("web/index.html", std::string("<!doctype html>"));
    share.write("ruffle/ruffle.js", std::string("// the player"));
    ::setenv("TARVENOX_SHARE", share.path().c_str(), 1);
    const std::string movie = work.write("movie.swf", test::templateMovie());
    for (const std::string output : {"card.html", "card.HTML", "card.swf"}) {
        for (const std::string& from :
             {"--template card --data '" + installation.path() + "'", std::string("movie.swf")}) {
            SCOPED_TRACE(output + " from " + from);
            fs::remove_all(work.file("card.swf"));
            fs::remove_all(work.file("card.html"));
            const auto r = runTarvenox("save " + from + " --html -o " + output, work.path());
            ASSERT_EQ(r.status, 0) << r.err;
            SWFFile saved = test::readMovie(work.file("card.swf"));
            const std::string page = test::readText(work.file("card.html"));
            EXPECT_NE(page.find("url: \"card.swf\""), std::string::npos) << page;
            EXPECT_TRUE(fs::exists(work.file("card_files/ruffle.js")));
        }
    }
    ::unsetenv("TARVENOX_SHARE");
}

TEST_F(SaveTemplate, BrokenTemplateMovieIsNotSavedAndTheOutputIsKept) {
    Bytes cut = test::templateMovie();
    cut.resize(cut.size() - 30);
    installation.write("swf/card.swf", cut);
    work.write("out.swf", std::string("earlier result"));
    auto r = save("--template card --var title=Neu");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("card.swf: "), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find("writing SWFFile"), std::string::npos) << r.out;
    EXPECT_EQ(test::readText(work.file("out.swf")), "earlier result");
}

}  // namespace
}  // namespace tarvenox
