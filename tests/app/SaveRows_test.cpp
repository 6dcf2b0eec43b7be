// `tarvenox save --rows`: a template saved once per row of a sheet, run as a user runs it.
#include <gtest/gtest.h>

#include <png.h>

#include <cstdlib>
#include <filesystem>

#include "common/Texts.h"
#include "support/Installation.h"
#include "support/PictureFiles.h"
#include "support/TempDir.h"

namespace tarvenox {
namespace {

namespace fs = std::filesystem;
using test::runTarvenox;
using test::TempDir;

TEST(SaveRows, SavesEachRowAsAOneOffSaveWouldAndNamesEachFailedRow) {
    TempDir installation;
    TempDir work;
    TempDir temporary;
    test::writeInstallation(installation);
    ::setenv("TARVENOX_REGISTRY", installation.file("no-registry").c_str(), 1);
    ::setenv("TMPDIR", temporary.path().c_str(), 1);
    test::PngPicture grey{.width = 4, .height = 4, .colorType = PNG_COLOR_TYPE_GRAY};
    grey.rows.assign(4, Bytes(4, 0x80));
    work.write("sheet/pic.png", test::encodePng(grey));
    // Pictures are found beside the sheet; "name" only names the file (the template has
    // no such variable); the sheet is Windows-1252.
    work.write("sheet/rows.csv", std::string("name,title,count,image:logo\r\n"
                                             "\"J\xF6rg \"\"J\"\", 1\",Gr\xFC\xDF"
                                             "e,7,pic.png\r\n"
                                             "gone,Hi,2,missing.png\r\n"
                                             "\"J\xF6rg \"\"J\"\", 1\",Again,3,\r\n"
                                             "short,Hi\r\n"
                                             "../up,Hi,4,\r\n"));
    const std::string data = " --data '" + installation.path() + "'";
    const auto rows = runTarvenox("save --template card --rows sheet/rows.csv -o 'out/{name}.swf'" + data, work.path());
    const auto single = runTarvenox(
        "save --template card -o single.swf --var title=Grüße --var count=7 --image logo=sheet/pic.png" + data,
        work.path());
    ::unsetenv("TARVENOX_REGISTRY");
    ::unsetenv("TMPDIR");

    EXPECT_EQ(rows.status, 1);
    ASSERT_EQ(single.status, 0) << single.err;
    std::vector<std::string> written;
    for (const auto& entry : fs::directory_iterator(work.file("out")))
        written.push_back(entry.path().filename().string());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<std::string>{"J\xC3\xB6rg \"J\", 1.swf", "___up.swf"}));
    EXPECT_EQ(test::readBytes(work.file("out/J\xC3\xB6rg \"J\", 1.swf")), test::readBytes(work.file("single.swf")));
    // One line per failed row, whichever worker had it.
    for (const char* line :
         {"tarvenox: row 2 (out/gone.swf): --image logo: sheet/missing.png: cannot open",
          "tarvenox: row 3 (out/J\xC3\xB6rg \"J\", 1.swf): writes out/J\xC3\xB6rg \"J\", 1.swf as row 1 does",
          "tarvenox: row 4 (out/short.swf): has 2 fields, the header 4"}) {
        EXPECT_NE(rows.err.find(line), std::string::npos) << line << "\n" << rows.err;
    }
    EXPECT_EQ(std::count(rows.err.begin(), rows.err.end(), '\n'), 3) << rows.err;
    EXPECT_TRUE(fs::is_empty(temporary.path()));
}

// The output pattern names a folder per row: each is made, with its parents, and a row
// whose folder cannot be made fails alone. With --html each row's page has its movie
// beside it.
TEST(SaveRows, EachRowGetsItsOwnFolder) {
    TempDir installation;
    TempDir work;
    TempDir temporary;
    TempDir share;
    test::writeInstallation(installation);
    share.write("web/index.html", std::string("<!doctype html>"));
    share.write("ruffle/ruffle.js", std::string("// the player"));
    ::setenv("TARVENOX_REGISTRY", installation.file("no-registry").c_str(), 1);
    ::setenv("TMPDIR", temporary.path().c_str(), 1);
    ::setenv("TARVENOX_SHARE", share.path().c_str(), 1);
    work.write("rows.csv", std::string("group,name,title\nfamily,anna,Hi\nwork/team,bert,Hello\nblocked,carl,Hey\n"));
    work.write("out/blocked", std::string("a file where the folder would be"));
    const auto rows = runTarvenox(
        "save --template card --html --rows rows.csv -o 'out/{group}/{name}.html' --data '" + installation.path() + "'",
        work.path());
    ::unsetenv("TARVENOX_REGISTRY");
    ::unsetenv("TMPDIR");
    ::unsetenv("TARVENOX_SHARE");

    EXPECT_EQ(rows.status, 1);
    EXPECT_EQ(rows.err, "tarvenox: row 3 (out/blocked/carl.swf): " +
                            text("file.cannotCreateFolder", {"out/blocked", text("system.notFolder")}) + "\n");
    // A separator in a value is no folder of its own.
    for (const char* saved : {"out/family/anna", "out/work_team/bert"}) {
        EXPECT_EQ(test::readText(work.file(std::string(saved) + ".swf")).substr(0, 3), "FWS") << saved;
        EXPECT_NE(test::readText(work.file(std::string(saved) + ".html")).find("<!doctype html>"), std::string::npos)
            << saved;
    }
}

// An option that cannot be read is refused once, before any row is started, whatever
// the rows hold.
TEST(SaveRows, AMalformedOptionIsRefusedOnceAndNothingIsWritten) {
    TempDir installation;
    TempDir work;
    test::writeInstallation(installation);
    work.write("rows.csv", std::string("name,background\nanna,#336699\nbert,\n"));
    for (const std::string& option : {"--font Title", "--background red", "--var title"}) {
        const auto rows = runTarvenox("save --template card --rows rows.csv -o 'out/{name}.swf' " + option +
                                          " --data '" + installation.path() + "'",
                                      work.path());
        EXPECT_EQ(rows.status, 1) << option;
        EXPECT_EQ(std::count(rows.err.begin(), rows.err.end(), '\n'), 1) << rows.err;
        EXPECT_EQ(rows.err.rfind("tarvenox: --", 0), 0u) << rows.err;
        EXPECT_FALSE(fs::exists(work.file("out"))) << option;
    }
}

}  // namespace
}  // namespace tarvenox
