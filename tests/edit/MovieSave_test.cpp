// Recording the user's changes on the application and saving them into the working copy.
#include "edit/MovieSave.h"

#include <gtest/gtest.h>

#include "app/TarvenoxApp.h"
#include "common/Log.h"
#include "support/Installation.h"
#include "support/PictureFiles.h"
#include "support/ReadMovie.h"
#include "support/TempDir.h"
#include "swf/SWFFile.h"

namespace tarvenox {
namespace {

using test::TempDir;

class MovieSave : public ::testing::Test {
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

TEST_F(MovieSave, OnlyJpegFilesAreCheckedWhenRecorded) {
    CTarvenoxApp app(environment);
    app.selectMovie("card");
    const std::string progressive = pictures.write("p.JPEG", test::encodeJpeg(8, 8, true));
    const std::string baseline = pictures.write("b.jpg", test::encodeJpeg(8, 8, false));
    const std::string notPng = pictures.write("n.png", std::string("not a picture"));

    EXPECT_FALSE(recordPictureReplacement(app, "logo", baseline).failed());
    // Refused: the check's message alone, as information; the earlier choice stays.
    const Report refused = recordPictureReplacement(app, "logo", progressive);
    EXPECT_TRUE(refused.failed());
    EXPECT_EQ(refused.messages(),
              (std::vector<UserMessage>{{"Progressive JPEG wird nicht unterstützt.", MessageKind::Information}}));
    EXPECT_EQ(app.pictureReplacements.at("logo"), baseline);
    // A PNG is read when the movie is saved, and another kind is ignored then.
    for (const std::string& path : {notPng, pictures.file("missing.gif")}) {
        const Report report = recordPictureReplacement(app, "Back", path);
        EXPECT_FALSE(report.failed());
        EXPECT_TRUE(report.messages().empty());
    }

    recordSoundReplacement(app, "music", "a.mp3");
    recordSoundReplacement(app, "music", "b.mp3");
    recordFontReplacement(app, "Title", "DejaVu Sans");
    EXPECT_EQ(app.soundReplacements, (Replacements{{"music", "b.mp3"}}));
    EXPECT_EQ(app.fontReplacements, (Replacements{{"Title", "DejaVu Sans"}}));
}

TEST_F(MovieSave, SaveStartsFromTheTemplateEachTime) {
    CTarvenoxApp app(environment);
    app.selectMovie("card");
    app.currentBackgroundColor = 0xABCDEF;
    app.actionVariables.front()->setValue("Neu");
    ASSERT_FALSE(saveMovie(app).failed());
    const Bytes first = test::readBytes(app.workingCopyPath());
    EXPECT_EQ(app.savedBackgroundColor, 0xABCDEF);
    // The choices stay after a save, and a second save gives the same file.
    ASSERT_FALSE(saveMovie(app).failed());
    EXPECT_EQ(test::readBytes(app.workingCopyPath()), first);
    SWFFile movie = test::readMovie(app.workingCopyPath());
    EXPECT_EQ(movie.tags()[0]->body()[0], 0xAB);
    // The template's own actions gave way to the variables.
    EXPECT_NE(movie.tags()[9]->body()[0], 0x07);
}

TEST_F(MovieSave, BrokenTemplateIsNotSavedAndTheUserIsTold) {
    Bytes cut = test::templateMovie();
    cut.resize(cut.size() - 12);
    installation.write("swf/card.swf", cut);
    CTarvenoxApp app(environment);
    app.selectMovie("card");
    const std::int32_t saved = app.savedBackgroundColor;
    app.currentBackgroundColor = 0x123456;
    const Report report = saveMovie(app);
    EXPECT_TRUE(report.failed());
    ASSERT_EQ(report.messages().size(), 1u);
    EXPECT_NE(report.messages()[0].text.find("card.swf"), std::string::npos) << report.text();
    // The working copy is the template as extracted, not a half-changed movie.
    EXPECT_EQ(test::readBytes(app.workingCopyPath()), cut);
    EXPECT_EQ(app.savedBackgroundColor, saved);
}

}  // namespace
}  // namespace tarvenox
