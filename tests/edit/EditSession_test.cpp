// The edit session's operations: recording the user's changes, keeping the variables'
// texts, and saving the changes into the working copy.
#include "edit/EditSession.h"
#include "common/Texts.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/TarvenoxApp.h"
#include "common/Log.h"
#include "edit/MovieContents.h"
#include "edit/MovieInstallation.h"
#include "support/Installation.h"
#include "support/MovieBuilder.h"
#include "support/PictureFiles.h"
#include "support/ReadMovie.h"
#include "support/TempDir.h"
#include "swf/SWFFile.h"

namespace tarvenox {
namespace {

using test::TempDir;

class Session : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeInstallation(installation);
        setLogStream(nullptr);
        environment.startDirectory = installation.path();
        environment.registryPath = installation.file("no-registry");
        environment.temporaryFolder = temporary.path();
    }
    void TearDown() override { setLogStream(stdout); }

    TempDir installation;
    TempDir temporary;
    TempDir pictures;
    AppEnvironment environment;
};

TEST_F(Session, OnlyJpegFilesAreCheckedWhenRecorded) {
    CTarvenoxApp app(environment);
    app.selectMovie("card");
    const std::string progressive = pictures.write("p.JPEG", test::encodeJpeg(8, 8, true));
    const std::string baseline = pictures.write("b.jpg", test::encodeJpeg(8, 8, false));
    const std::string notPng = pictures.write("n.png", std::string("not a picture"));

    EXPECT_FALSE(app.replacePicture("logo", baseline).failed());
    // Refused: the check's message alone, as information; the earlier choice stays.
    const Report refused = app.replacePicture("logo", progressive);
    EXPECT_TRUE(refused.failed());
    EXPECT_EQ(refused.messages(), (std::vector<UserMessage>{{text("jpeg.progressive"), MessageKind::Information}}));
    EXPECT_EQ(app.pictureReplacements().at("logo"), baseline);
    // A PNG is read when the movie is saved, and another kind is ignored then.
    for (const std::string& path : {notPng, pictures.file("missing.gif")}) {
        const Report report = app.replacePicture("Back", path);
        EXPECT_FALSE(report.failed());
        EXPECT_TRUE(report.messages().empty());
    }

    app.replaceSound("music", "a.mp3");
    app.replaceSound("music", "b.mp3");
    app.replaceFont("Title", "DejaVu Sans");
    EXPECT_EQ(app.soundReplacements(), (Replacements{{"music", "b.mp3"}}));
    EXPECT_EQ(app.fontReplacements(), (Replacements{{"Title", "DejaVu Sans"}}));
}

// Every operation that changes a variable changes the text the user sees with it: the
// number field keeps what was typed, the history's state carries it, and a state
// restored by name skips the names the template lacks.
TEST_F(Session, VariableTextsFollowTheVariables) {
    CTarvenoxApp app(environment);
    app.selectMovie("card");
    auto texts = [&] {
        std::vector<std::string> all;
        for (std::size_t i = 0; i < app.actionVariables().size(); ++i) all.push_back(app.variableText(i));
        return all;
    };
    EXPECT_EQ(texts(), (std::vector<std::string>{"Hallo", "3", "true"}));

    app.setVariableText("count", "07");
    app.setVariableText("nothing", "x");
    EXPECT_EQ(texts(), (std::vector<std::string>{"Hallo", "07", "true"}));

    const Report missing = app.setDeclaredVariable("nothing", "x");
    EXPECT_TRUE(missing.failed());
    EXPECT_EQ(missing.text(), "no variable 'nothing' (it declares title, count, shown)");
    EXPECT_FALSE(app.setDeclaredVariable("title", "Neu").failed());
    EXPECT_EQ(texts(), (std::vector<std::string>{"Neu", "07", "true"}));

    const EditState state = app.edits();
    EXPECT_EQ(state.variables,
              (std::vector<std::pair<std::string, std::string>>{{"title", "Neu"}, {"count", "07"}, {"shown", "true"}}));
    EditState other = state;
    other.variables = {{"gone", "x"}, {"title", "Wieder"}};
    other.background = 0x010203;
    app.replaceFont("Title", "DejaVu Sans");
    app.restore(other);
    EXPECT_EQ(texts(), (std::vector<std::string>{"Wieder", "07", "true"}));
    EXPECT_EQ(app.actionVariables()[0]->getValueText(), "Wieder");
    EXPECT_TRUE(app.fontReplacements().empty());
    EXPECT_EQ(app.currentBackgroundColor(), 0x010203);

    // Another template starts from its configured values.
    app.selectMovie("extra\\poster");
    EXPECT_EQ(texts(), (std::vector<std::string>{"Sale"}));
    EXPECT_EQ(app.edits().variables, (std::vector<std::pair<std::string, std::string>>{{"headline", "Sale"}}));
}

// A choice that cannot be used records nothing; giving a name back says whether it had
// a replacement.
TEST_F(Session, RefusedChoicesRecordNothingAndRestoresSayWhatTheyDid) {
    CTarvenoxApp app(environment);
    app.selectMovie("card");
    const std::string notPng = pictures.write("n.png", std::string("not a picture"));
    const std::string notMp3 = pictures.write("n.mp3", std::string(500, 'x'));
    EXPECT_TRUE(app.choosePicture("logo", notPng).failed());
    EXPECT_TRUE(app.chooseSound("music", notMp3).failed());
    EXPECT_TRUE(app.pictureReplacements().empty());
    EXPECT_TRUE(app.soundReplacements().empty());

    EXPECT_FALSE(app.replacePicture("logo", pictures.file("p.png")).failed());
    EXPECT_TRUE(app.restorePicture("logo"));
    EXPECT_FALSE(app.restorePicture("logo"));
    EXPECT_FALSE(app.restoreFont("Title"));
    EXPECT_FALSE(app.restoreSound("music"));
}

TEST_F(Session, SaveStartsFromTheTemplateEachTime) {
    CTarvenoxApp app(environment);
    app.selectMovie("card");
    app.setBackground(0xABCDEF);
    app.setVariableText("title", "Neu");
    ASSERT_FALSE(app.save().failed());
    const Bytes first = test::readBytes(app.workingCopyPath());
    EXPECT_EQ(app.savedBackgroundColor(), 0xABCDEF);
    // The choices stay after a save, and a second save gives the same file.
    ASSERT_FALSE(app.save().failed());
    EXPECT_EQ(test::readBytes(app.workingCopyPath()), first);
    SWFFile movie = test::readMovie(app.workingCopyPath());
    EXPECT_EQ(movie.tags()[0]->body()[0], 0xAB);
    // The template's own actions gave way to the variables.
    EXPECT_NE(movie.tags()[9]->body()[0], 0x07);
}

TEST_F(Session, BrokenTemplateIsNotSavedAndTheUserIsTold) {
    Bytes cut = test::templateMovie();
    cut.resize(cut.size() - 12);
    installation.write("swf/card.swf", cut);
    CTarvenoxApp app(environment);
    app.selectMovie("card");
    const std::int32_t saved = app.savedBackgroundColor();
    app.setBackground(0x123456);
    const Report report = app.save();
    EXPECT_TRUE(report.failed());
    ASSERT_EQ(report.messages().size(), 1u);
    EXPECT_NE(report.messages()[0].text.find("card.swf"), std::string::npos) << report.text();
    // The working copy is the template as extracted, not a half-changed movie.
    EXPECT_EQ(test::readBytes(app.workingCopyPath()), cut);
    EXPECT_EQ(app.savedBackgroundColor(), saved);
}

// A plain movie's text fields hold their texts already: its save assigns only the
// variables the user changed, so an untouched text keeps its line breaks as they are,
// and its own actions stay.
TEST_F(Session, APlainMovieAssignsOnlyTheVariablesTheUserChanged) {
    using test::operator+;
    auto field = [](std::uint16_t id, const std::string& variable, const std::string& text) {
        return test::le16(id) + Bytes{0x00, 0x80, 0x00} + test::cstr(variable) + test::cstr(text);  // HasText
    };
    const Bytes movie = test::MovieBuilder(8)
                            .tag(37, field(1, "note", "two\rlines"))
                            .tag(37, field(2, "name", "Ann"))
                            .tag(12, Bytes{0x07, 0x00})  // stop
                            .showFrame()
                            .build();
    auto opened = MovieInstallation::create(pictures.write("plain.swf", movie), temporary.path() + "/");
    ASSERT_TRUE(opened) << opened.report().reason();
    CTarvenoxApp app(environment, opened.take());
    app.selectMovie(app.movieTemplate());
    app.setVariableText("name", "Bob");
    ASSERT_FALSE(app.save().failed());
    const SWFFile result = test::readMovie(app.workingCopyPath());
    const MovieContents saved = describeChangeable(result);
    ASSERT_EQ(saved.variables.size(), 1u);
    EXPECT_EQ(saved.variables[0].name, "name");
    EXPECT_EQ(saved.variables[0].value, "Bob");
    // The assignment comes in actions of its own before the movie's.
    ASSERT_EQ(result.tags().size(), 5u);
    const ByteSpan actions = result.tags()[3]->body();
    EXPECT_EQ(Bytes(actions.begin(), actions.end()), (Bytes{0x07, 0x00})) << "the movie's stop stays";
}

// A real movie opened as a plain movie: a JPEG picture replaced by its id and a static
// text changed in one save, the change undone, and a text whose characters no face gives
// refused with the rest saved. Its pictures' thumbnails are small PNG files.
TEST_F(Session, APlainMovieChangesItsStaticTextsAndPictures) {
    const std::string path = TARVENOX_SOURCE_DIR "/../shared/real-swf/shumway-0202.swf";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "the real movies are missing";
    auto installation = MovieInstallation::create(path, temporary.path() + "/");
    ASSERT_TRUE(installation) << installation.report().reason();
    CTarvenoxApp app(environment, installation.take());
    ASSERT_EQ(app.movieTemplate(), "shumway-0202");
    app.selectMovie(app.movieTemplate());

    ASSERT_FALSE(app.staticTexts().empty());
    EXPECT_EQ(app.staticTexts()[0].name, "text:6");
    EXPECT_EQ(app.staticTexts()[0].text, "Rainin In the Loop");
    ASSERT_EQ(app.ownPictures().size(), 4u);
    const Bytes thumbnail = test::readBytes(app.workingFolder() + app.ownPictures().at("12"));
    ASSERT_GT(thumbnail.size(), 24u);
    EXPECT_EQ(Bytes(thumbnail.begin() + 1, thumbnail.begin() + 4), (Bytes{'P', 'N', 'G'}));
    // IHDR: 1044 x 428 scaled to 160 x 65.
    EXPECT_EQ(Bytes(thumbnail.begin() + 16, thumbnail.begin() + 24), (Bytes{0, 0, 0, 160, 0, 0, 0, 65}));

    const EditState before = app.edits();
    EXPECT_TRUE(app.setStaticText("text:6", "Loop Rain"));
    EXPECT_FALSE(app.setStaticText("text:99", "x"));
    const std::string png = pictures.write(
        "p.png",
        test::encodePng({.width = 4, .height = 3, .colorType = 2, .rows = {Bytes(12, 9), Bytes(12, 9), Bytes(12, 9)}}));
    ASSERT_FALSE(app.choosePicture("12", png).failed());
    auto saved = [&] { return describeChangeable(test::readMovie(app.workingCopyPath())); };
    const Report changed = app.save();
    EXPECT_FALSE(changed.failed()) << changed.text();
    EXPECT_EQ(saved().staticTexts[0].text, "Loop Rain");
    EXPECT_EQ(saved().pictures[0].width, 4);

    const EditState edited = app.edits();
    app.restore(before);
    EXPECT_FALSE(app.save().failed());
    EXPECT_EQ(saved().staticTexts[0].text, "Rainin In the Loop");
    EXPECT_EQ(saved().pictures[0].width, 1044);

    // The font has no name, so no installed face gives the missing character.
    app.restore(edited);
    app.setStaticText("text:6", "Rain\xA7");
    const Report refused = app.save();
    EXPECT_TRUE(refused.failed());
    ASSERT_EQ(refused.messages().size(), 1u);
    EXPECT_EQ(refused.messages()[0].text.rfind("Text 6 cannot be changed: ", 0), 0u) << refused.messages()[0].text;
    EXPECT_EQ(saved().staticTexts[0].text, "Rainin In the Loop");
    EXPECT_EQ(saved().pictures[0].width, 4);
}

}  // namespace
}  // namespace tarvenox
