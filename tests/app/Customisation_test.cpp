// Recording the user's changes on the application and saving them into the working copy.
#include "app/Customisation.h"

#include <gtest/gtest.h>

#include "app/TarvenoxApp.h"
#include "common/Log.h"
#include "support/Installation.h"
#include "support/PictureFiles.h"
#include "support/RecordedMessages.h"
#include "support/TempDir.h"
#include "swf/SWFFile.h"

namespace tarvenox {
namespace {

using test::RecordedMessages;
using test::TempDir;

class Customisation : public ::testing::Test {
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

TEST_F(Customisation, OnlyJpegFilesAreCheckedWhenRecorded) {
    CTarvenoxApp app(environment);
    app.selectMovie("card");
    RecordedMessages messages;
    const std::string progressive = pictures.write("p.JPEG", test::encodeJpeg(8, 8, true));
    const std::string baseline = pictures.write("b.jpg", test::encodeJpeg(8, 8, false));
    const std::string notPng = pictures.write("n.png", std::string("not a picture"));

    EXPECT_TRUE(recordPictureReplacement(app, "logo", baseline));
    // Refused: the check's message alone, as information; the earlier choice stays.
    EXPECT_FALSE(recordPictureReplacement(app, "logo", progressive));
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.texts[0], "Progressive JPEG wird nicht unterstützt.");
    EXPECT_EQ(messages.kinds[0], MessageKind::Information);
    EXPECT_EQ(app.pictureReplacements.at("logo"), baseline);
    // A PNG is read when the movie is saved, and another kind is ignored then.
    EXPECT_TRUE(recordPictureReplacement(app, "Back", notPng));
    EXPECT_TRUE(recordPictureReplacement(app, "other", pictures.file("missing.gif")));
    EXPECT_EQ(messages.texts.size(), 1u);

    recordSoundReplacement(app, "music", "a.mp3");
    recordSoundReplacement(app, "music", "b.mp3");
    recordFontReplacement(app, "Title", "DejaVu Sans");
    EXPECT_EQ(app.soundReplacements, (Replacements{{"music", "b.mp3"}}));
    EXPECT_EQ(app.fontReplacements, (Replacements{{"Title", "DejaVu Sans"}}));
}

TEST_F(Customisation, SaveStartsFromTheTemplateEachTime) {
    CTarvenoxApp app(environment);
    app.selectMovie("card");
    app.currentBackgroundColor = 0xABCDEF;
    app.actionVariables.front()->setValue("Neu");
    ASSERT_TRUE(saveMovie(app));
    const Bytes first = test::readBytes(app.workingCopyPath());
    EXPECT_EQ(app.savedBackgroundColor, 0xABCDEF);
    // The choices stay after a save, and a second save gives the same file.
    ASSERT_TRUE(saveMovie(app));
    EXPECT_EQ(test::readBytes(app.workingCopyPath()), first);
    SWFFile movie(app.workingCopyPath());
    ASSERT_TRUE(movie.complete());
    EXPECT_EQ(movie.tags()[0]->body()[0], 0xAB);
    // The template's own actions gave way to the variables.
    EXPECT_NE(movie.tags()[9]->body()[0], 0x07);
}

TEST_F(Customisation, BrokenTemplateIsNotSavedAndTheUserIsTold) {
    Bytes cut = test::templateMovie();
    cut.resize(cut.size() - 12);
    installation.write("swf/card.swf", cut);
    CTarvenoxApp app(environment);
    app.selectMovie("card");
    const std::int32_t saved = app.savedBackgroundColor;
    app.currentBackgroundColor = 0x123456;
    RecordedMessages messages;
    EXPECT_FALSE(saveMovie(app));
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_NE(messages.texts[0].find("card.swf"), std::string::npos) << messages.texts[0];
    // The working copy is the template as extracted, not a half-changed movie.
    EXPECT_EQ(test::readBytes(app.workingCopyPath()), cut);
    EXPECT_EQ(app.savedBackgroundColor, saved);
}

}  // namespace
}  // namespace tarvenox
