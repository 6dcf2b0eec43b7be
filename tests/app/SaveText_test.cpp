// `tarvenox save MOVIE --text ID=TEXT`, run as a user runs it.
#include <gtest/gtest.h>

#include "font/DefineFont2.h"
#include "font/FontCodes.h"
#include "support/Installation.h"
#include "support/MovieBuilder.h"
#include "support/ReadMovie.h"
#include "support/TempDir.h"
#include "support/TextDecoding.h"
#include "swf/SWFFile.h"
#include "swf/SWFStaticText.h"

namespace tarvenox {
namespace {

using test::runTarvenox;
using test::TempDir;

// Font 1 rebuilt from a face under the given name, and static text 10 showing "Hi" in it.
Bytes movieWithText(const std::string& fontName) {
    SWFStaticText text;
    text.id = 10;
    text.bounds = {0, 400, -300, 0, 0};
    SWFTextRecord record;
    record.fontId = 1;
    record.textHeight = 240;
    record.color = Bytes{0, 0, 0};
    record.xOffset = 0;
    record.yOffset = 0;
    record.glyphs = {{*rebuiltGlyphIndex(U'H'), 150}, {*rebuiltGlyphIndex(U'i'), 60}};
    text.records.push_back(record);
    return test::MovieBuilder(8)
        .tag(48, buildDefineFont2Body(1, fontName, "DejaVu Sans"))
        .tag(11, text.write(false))
        .showFrame()
        .build();
}

TEST(SaveText, TheTextIsChangedWithItsEscapesAndMissingCharactersAdded) {
    TempDir dir;
    const std::string in = dir.write("in.swf", movieWithText("DejaVu Sans"));
    const std::string out = dir.file("out.swf");
    // ł is not among the font's Windows-1252 characters: it comes from the installed face.
    auto r = runTarvenox("save '" + in + "' -o '" + out + "' --text '10=a\\\\b\\nł'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::staticTextString(test::readMovie(out), 10), U"a\\b\nł");
}

TEST(SaveText, WhatTheMovieCannotTakeIsRefusedInOneLineAndNothingIsWritten) {
    TempDir dir;
    const std::string in = dir.write("in.swf", movieWithText("Tarvenox Missing Face"));
    const std::string out = dir.file("out.swf");
    const std::pair<const char*, const char*> cases[] = {
        {"10=Hił", "tarvenox: --text 10: the font \"Tarvenox Missing Face\" has no \"ł\", and no installed face named "
                   "Tarvenox Missing Face gives them\n"},
        {"1=Hi", "tarvenox: --text 1: character 1 is a font (DefineFont2), not a static text\n"},
        {"99=Hi", "tarvenox: --text 99: the movie has no character 99\n"},
        {"010=Hi", "tarvenox: --text 010: '010' is not a character id\n"},
        {"Hi", "tarvenox: --text: 'Hi' is not ID=TEXT\n"},
    };
    for (const auto& [option, line] : cases) {
        SCOPED_TRACE(option);
        auto r = runTarvenox("save '" + in + "' -o '" + out + "' --text '" + option + "'");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, line);
        EXPECT_TRUE(test::readBytes(out).empty());
    }
}

// A template's text is changed in the saved movie, after its font is rebuilt from the
// face chosen for it, which gives what the font lacked.
TEST(SaveText, ATemplateSaveChangesTheTextInTheRebuiltFont) {
    TempDir dir;
    test::writeInstallation(dir);
    dir.write("swf/card.swf", movieWithText("Tarvenox Missing Face"));
    const std::string out = dir.file("out.swf");
    auto r = runTarvenox("save --template card --data '" + dir.path() + "' -o '" + out +
                         "' --font 'Tarvenox Missing Face=DejaVu Sans' --text '10=Hił'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::staticTextString(test::readMovie(out), 10), U"Hił");
}

// A sheet's text:ID column changes the text of each row that fills it, with --text's
// escapes; an empty cell keeps the template's text.
TEST(SaveText, ASheetsTextColumnChangesEachRowsText) {
    TempDir dir;
    test::writeInstallation(dir);
    dir.write("swf/card.swf", movieWithText("DejaVu Sans"));
    dir.write("rows.csv", std::string("name,text:10\nanna,Hi\\nanna\nbert,\n"));
    auto r =
        runTarvenox("save --template card --data '" + dir.path() + "' --rows rows.csv -o 'out/{name}.swf'", dir.path());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::staticTextString(test::readMovie(dir.file("out/anna.swf")), 10), U"Hi\nanna");
    EXPECT_EQ(test::staticTextString(test::readMovie(dir.file("out/bert.swf")), 10), U"Hi");
}

}  // namespace
}  // namespace tarvenox
