// The editor's commands in the main dialog: each template's edits kept for the session,
// undo and redo, choices refused when chosen, the editor's state after every command,
// the save's proposed name, and quitting with unsaved edits.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/TarvenoxApp.h"
#include "common/FileIO.h"
#include "common/Texts.h"
#include "support/Installation.h"
#include "support/LogCapture.h"
#include "support/MovieBuilder.h"
#include "support/Mp3Builder.h"
#include "support/PictureFiles.h"
#include "support/ReadMovie.h"
#include "support/ScriptedWindowSystem.h"
#include "support/TempDir.h"
#include "swf/SWFFile.h"
#include "swf/SWFImage.h"
#include "ui/CTarvenoxDlg.h"

namespace tarvenox {
namespace {

using test::ScriptedWindowSystem;
using Lines = std::vector<std::string>;

UiEvent command(std::string name, std::string args = "") {
    return ScriptedWindowSystem::command(std::move(name), std::move(args), Player::skin);
}

class EditorCommandsTest : public ::testing::Test {
protected:
    EditorCommandsTest() {
        test::writeInstallation(dir);
        dir.write("tmp/.keep", "");
        freshStart();
        png = dir.write("media/pic.png",
                        test::encodePng({.width = 4,
                                         .height = 4,
                                         .colorType = 2,
                                         .rows = {Bytes(12, 9), Bytes(12, 9), Bytes(12, 9), Bytes(12, 9)}}));
    }

    // A program that starts anew: no template chosen, nothing edited.
    void freshStart() {
        app.reset();
        app = std::make_unique<CTarvenoxApp>(AppEnvironment{dir.path(), dir.file("no-registry"), dir.file("tmp")});
        windows = ScriptedWindowSystem();
    }

    void run(std::vector<UiEvent> events) {
        windows.events.assign(events.begin(), events.end());
        CTarvenoxDlg dialog(*app, "", windows);
        dialog.DoModal();
    }

    // The last editor state that answered the command.
    const EditorState& answerTo(const std::string& name) const {
        for (auto it = windows.editorStates.rbegin(); it != windows.editorStates.rend(); ++it) {
            if (it->last && it->last->command == name) return *it;
        }
        static const EditorState none;
        ADD_FAILURE() << "no editor state for " << name;
        return none;
    }

    // The width of the working copy's picture "logo" (10 in the template).
    int logoWidth() {
        SWFFile movie = test::readMovie(app->workingCopyPath());
        SWFImage* logo = findExportedImage(movie, "logo");
        return logo == nullptr ? -1 : logo->width();
    }

    test::LogCapture log;
    test::TempDir dir;
    std::unique_ptr<CTarvenoxApp> app;
    ScriptedWindowSystem windows;
    std::string png;
};

TEST_F(EditorCommandsTest, EachTemplateKeepsItsEditsAndGetsThemBackWhenChosenAgain) {
    windows.files = {png};
    const std::string copy = app->workingFolder() + "chosen-image-1.png";
    Bytes copied;
    windows.onEvent = [&](const UiEvent& event) {
        // The user types into the card, and leaves it before the form applied it.
        if (event.command == "selectImage") windows.variables["title"] = "Neu";
        if (event.args == "extra\\poster") copied = test::readBytes(copy);
    };
    run({command("selectMovie", "card"), command("selectImage", "logo"), command("selectMovie", "extra\\poster"),
         command("selectMovie", "card")});
    // The card's edits are pushed as at selection, and its working copy has them.
    const Lines calls = windows.callsOf({"setVariable"});
    EXPECT_EQ(
        Lines(calls.end() - 5, calls.end()),
        (Lines{"setVariable skin _root.backgroundColor=1056816", "setVariable skin title=Neu",
               "setVariable skin count=3", "setVariable skin shown=true", "setVariable skin _root.editLoaded=1"}));
    EXPECT_EQ(logoWidth(), 4);
    const EditorState& state = answerTo("selectMovie");
    EXPECT_EQ(state.templateName, "card");
    EXPECT_EQ(state.title, "Visiten karte");
    EXPECT_EQ(state.pictures.at("logo"), (ChosenFile{"pic.png", "chosen-image-1.png", "cover"}));
    EXPECT_TRUE(state.unsaved);
    EXPECT_TRUE(state.canUndo);
    EXPECT_EQ(copied, test::readBytes(png));
    EXPECT_FALSE(std::filesystem::exists(copy));  // gone with the dialog
    // The poster was chosen fresh: nothing of the card's.
    EXPECT_EQ(windows.editorStates.at(3).templateName, "extra\\poster");
    EXPECT_TRUE(windows.editorStates.at(3).pictures.empty());
    EXPECT_FALSE(windows.editorStates.at(3).unsaved);
}

TEST_F(EditorCommandsTest, UndoAndRedoStepThroughTheChangesAndTellTheSkinAndThePreview) {
    windows.files = {png};
    windows.colors = {0x336699};
    windows.onEvent = [&](const UiEvent& event) {
        if (event.command == "apply") windows.variables["title"] = "Neu";
    };
    struct Step {
        UiEvent event;
        CommandOutcome outcome;
        bool canUndo, canRedo;
        int logoWidth;
        std::string title;
    };
    const Step steps[] = {
        {command("apply"), CommandOutcome::done, true, false, 10, "Neu"},
        {command("selectColor", "_root.backgroundColor"), CommandOutcome::done, true, false, 10, "Neu"},
        {command("selectImage", "logo"), CommandOutcome::done, true, false, 10, "Neu"},
        {command("undo"), CommandOutcome::done, true, true, 10, "Neu"},
        {command("redo"), CommandOutcome::done, true, false, 4, "Neu"},
        {command("redo"), CommandOutcome::unchanged, true, false, 4, "Neu"},
        {command("restoreImage", "logo"), CommandOutcome::done, true, false, 4, "Neu"},
        {command("restoreImage", "logo"), CommandOutcome::unchanged, true, false, 4, "Neu"},
        {command("undo"), CommandOutcome::done, true, true, 4, "Neu"},
        {command("undo"), CommandOutcome::done, true, true, 10, "Neu"},
        {command("undo"), CommandOutcome::done, true, true, 10, "Neu"},
        {command("undo"), CommandOutcome::done, false, true, 10, "Hallo"},
        {command("undo"), CommandOutcome::unchanged, false, true, 10, "Hallo"},
    };
    std::vector<UiEvent> events = {command("selectMovie", "card")};
    for (const Step& step : steps) events.push_back(step.event);
    // The preview and the skin's title as each command finds them.
    std::vector<int> widths;
    Lines titles;
    windows.onEvent = [&, typed = windows.onEvent](const UiEvent& event) {
        if (event.command != "selectMovie") {
            widths.push_back(logoWidth());
            titles.push_back(windows.variables["title"]);
        }
        typed(event);
    };
    run(events);
    widths.push_back(logoWidth());
    titles.push_back(windows.variables["title"]);
    // The state at the start, the selection's, then one for each step.
    ASSERT_EQ(windows.editorStates.size(), std::size(steps) + 2);
    EXPECT_FALSE(windows.editorStates[0].last);
    EXPECT_EQ(windows.editorStates[0].templateName, "");
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        const EditorState& state = windows.editorStates[i + 2];
        SCOPED_TRACE(std::to_string(i) + " " + steps[i].event.command);
        EXPECT_EQ(state.last->outcome, steps[i].outcome);
        EXPECT_EQ(state.canUndo, steps[i].canUndo);
        EXPECT_EQ(state.canRedo, steps[i].canRedo);
        EXPECT_EQ(widths[i + 1], steps[i].logoWidth);  // the preview as the next command finds it
        EXPECT_EQ(titles[i + 1], steps[i].title);
    }
    // Back at the start: the template's own background, and nothing to save.
    EXPECT_EQ(windows.variables["_root.backgroundColor"], "1056816");
    EXPECT_FALSE(windows.editorStates.back().unsaved);
}

// A chosen picture's fit: the next apply shows it (a 4 x 2 picture in the square slot
// "logo", which shows 10 x 10 stage pixels: cropped to 2 x 2, framed in 4 x 4, or kept
// 4 x 2), undo takes it back, and the template chosen again has it.
TEST_F(EditorCommandsTest, APicturesFitIsAppliedUndoneAndKeptWithItsTemplate) {
    windows.files = {
        dir.write("media/wide.png",
                  test::encodePng({.width = 4, .height = 2, .colorType = 2, .rows = {Bytes(12, 9), Bytes(12, 9)}}))};
    struct Step {
        UiEvent event;
        CommandOutcome outcome;
        std::string fit;   // the editor state's for "logo"
        std::string size;  // the working copy's "logo" as the next command finds it ("": not looked at)
    };
    const Step steps[] = {
        {command("fitImage", "contain:logo"), CommandOutcome::unchanged, "", ""},  // the template's own
        {command("selectImage", "logo"), CommandOutcome::done, "cover", ""},
        {command("apply"), CommandOutcome::done, "cover", "2x2"},
        {command("fitImage", "contain:logo"), CommandOutcome::done, "contain", ""},
        {command("apply"), CommandOutcome::done, "contain", "4x4"},
        {command("fitImage", "contain:logo"), CommandOutcome::unchanged, "contain", ""},
        {command("fitImage", "fill:logo"), CommandOutcome::unchanged, "contain", ""},
        {command("fitImage", "stretch:logo"), CommandOutcome::done, "stretch", ""},
        {command("apply"), CommandOutcome::done, "stretch", "4x2"},
        {command("undo"), CommandOutcome::done, "contain", "4x4"},
        {command("selectMovie", "extra\\poster"), CommandOutcome::done, "", ""},
        {command("selectMovie", "card"), CommandOutcome::done, "contain", "4x4"},
    };
    std::vector<UiEvent> events = {command("selectMovie", "card")};
    for (const Step& step : steps) events.push_back(step.event);
    Lines sizes;
    const auto logoSize = [&] {
        // Before the first template is chosen there is no working copy.
        if (app->currentMovie().empty()) {
            sizes.push_back("none");
            return;
        }
        SWFFile movie = test::readMovie(app->workingCopyPath());
        const SWFImage* logo = findExportedImage(movie, "logo");
        sizes.push_back(logo == nullptr ? "none"
                                        : std::to_string(logo->width()) + "x" + std::to_string(logo->height()));
    };
    windows.onEvent = [&](const UiEvent&) { logoSize(); };
    run(events);
    logoSize();
    ASSERT_EQ(windows.editorStates.size(), std::size(steps) + 2);
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        const EditorState& state = windows.editorStates[i + 2];
        SCOPED_TRACE(std::to_string(i) + " " + steps[i].event.command + " " + steps[i].event.args);
        EXPECT_EQ(state.last->outcome, steps[i].outcome);
        const auto logo = state.pictures.find("logo");
        EXPECT_EQ(logo == state.pictures.end() ? "" : logo->second.fit, steps[i].fit);
        if (!steps[i].size.empty()) {
            EXPECT_EQ(sizes.at(i + 2), steps[i].size);
        }
    }
}

// The movie playing in the preview gets each text that changed (undo included) before the
// rebuild. While only texts change, the rebuilt movie follows once typing pauses (here:
// when the script has run out); a number, which the playing movie cannot be given, brings
// it at once.
TEST_F(EditorCommandsTest, TextsGoToThePreviewPlayingAndItsRebuiltMovieFollowsAPause) {
    const std::vector<std::pair<std::string, std::string>> typed = {
        {"title", "Neu"}, {"title", "Neuer"}, {"count", "7"}};
    std::size_t applies = 0;
    windows.onEvent = [&](const UiEvent& event) {
        if (event.command != "apply") return;
        const auto& [name, text] = typed.at(applies++);
        windows.variables[name] = text;
    };
    run({command("selectMovie", "card"), command("apply"), command("apply"), command("apply"), command("undo"),
         command("undo")});
    const std::string viewerMovie = "movie viewer " + app->workingCopyPath();
    Lines preview;
    for (const std::string& line : windows.callsOf({"setVariable", "movie"})) {
        if (line.find(" viewer ") != std::string::npos) preview.push_back(line);
    }
    EXPECT_EQ(preview, (Lines{viewerMovie, "setVariable viewer title=Neu", "setVariable viewer title=Neuer",
                              "movie viewer ", viewerMovie,  // the number
                              "movie viewer ", viewerMovie,  // the number undone
                              "setVariable viewer title=Hallo", "movie viewer ", viewerMovie}));
}

TEST_F(EditorCommandsTest, AFileThatCannotBeUsedIsRefusedOnceWhenChosenAndNeverComesBack) {
    Bytes truncated = test::readBytes(png);
    truncated.resize(truncated.size() - 20);
    const std::string mp3 = dir.write("media/song.mp3", test::mp3Frames(0xFFFB9064, 20));
    struct Case {
        std::string command, path;
    } cases[] = {
        {"selectImage", dir.write("media/cut.png", truncated)},
        {"selectImage", dir.write("media/notes.txt", std::string("Einkaufsliste"))},
        {"selectImage", dir.write("media/notes.png", std::string("Einkaufsliste"))},
        {"selectImage", dir.write("media/notes.jpg", std::string("Einkaufsliste"))},
        {"selectMp3", dir.write("media/notes.mp3", std::string("Einkaufsliste"))},
    };
    for (const Case& c : cases) {
        freshStart();
        windows.files = {mp3, c.path, dir.file("out.swf")};
        run({command("selectMovie", "card"), command("selectMp3", "music"), command(c.command, "logo"),
             command("apply"), command("clicked", "save")});
        SCOPED_TRACE(c.path);
        EXPECT_EQ(windows.callsOf({"messageBox"}).size(), 1u)
            << ::testing::PrintToString(windows.callsOf({"messageBox"}));
        EXPECT_EQ(answerTo(c.command).last->outcome, CommandOutcome::failed);
        // The earlier choice stays; the refused one is nowhere.
        EXPECT_EQ(answerTo(c.command).sounds.at("music").file, "song.mp3");
        EXPECT_TRUE(app->pictureReplacements().empty());
        EXPECT_EQ(answerTo("apply").last->outcome, CommandOutcome::done);
        EXPECT_EQ(answerTo("clicked").last->outcome, CommandOutcome::done);
        EXPECT_EQ(answerTo("clicked").last->saved, dir.file("out.swf"));
    }
}

TEST_F(EditorCommandsTest, AChosenFileIsConvertedOnceAndAppliedWithoutReadingItAgain) {
    windows.files = {png};
    windows.onEvent = [&](const UiEvent& event) {
        if (event.command == "apply") std::filesystem::remove(png);
    };
    run({command("selectMovie", "card"), command("selectImage", "logo"), command("apply"), command("apply")});
    EXPECT_TRUE(windows.callsOf({"messageBox"}).empty());
    EXPECT_EQ(logoWidth(), 4);
}

TEST_F(EditorCommandsTest, ValuesTheSkinDoesNotGiveBackAreToldAndNothingIsSaved) {
    windows.files = {dir.file("out.swf")};
    windows.onEvent = [&](const UiEvent& event) {
        windows.variables["title"] = "Neu";
        if (event.command == "clicked") windows.variables.erase("count");
    };
    run({command("selectMovie", "card"), command("apply"), command("clicked", "save")});
    EXPECT_EQ(windows.kept, (std::map<std::string, std::string>{{"skin title", "Neu"}}));
    EXPECT_EQ(windows.callsOf({"messageBox"}),
              (Lines{"messageBox error ok Tarvenox: " + text("message.valuesNotRead")}));
    EXPECT_EQ(answerTo("clicked").last->outcome, CommandOutcome::failed);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.swf")));
}

TEST_F(EditorCommandsTest, ASaveOfWhatThePreviewShowsCopiesItAndAChangeSinceIsBuiltFirst) {
    windows.files = {dir.file("same.swf"), dir.file("changed.swf")};
    int saves = 0;
    std::filesystem::file_time_type firstSave, secondSave;
    windows.onEvent = [&](const UiEvent& event) {
        if (event.command != "clicked") return;
        const auto built = std::filesystem::last_write_time(app->workingCopyPath());
        if (++saves == 1) {
            firstSave = built;
        } else {
            secondSave = built;
            windows.variables["title"] = "Neu";
        }
    };
    run({command("selectMovie", "card"), command("apply"), command("clicked", "save"), command("clicked", "save")});
    const std::string copy = app->workingCopyPath();
    EXPECT_EQ(secondSave, firstSave) << "the first save copied the working copy as it was built";
    EXPECT_NE(std::filesystem::last_write_time(copy), secondSave) << "the second save built it first";
    EXPECT_NE(*readFileBytes(dir.file("same.swf")), *readFileBytes(dir.file("changed.swf")));
    EXPECT_EQ(*readFileBytes(dir.file("changed.swf")), *readFileBytes(copy));
}

TEST_F(EditorCommandsTest, TheSaveProposesTheTitleAndTheColourDialogStartsAtTheCurrentColour) {
    windows.files = {std::nullopt, dir.file("card.swf")};
    windows.variables["_root.textColor"] = "255";
    run({command("selectMovie", "card"), command("clicked", "save"), command("selectColor", "_root.textColor"),
         command("selectColor", "_root.backgroundColor"), command("clicked", "save")});
    const std::string saveDialog = "saveFile " + text("dialog.save.title") + " [" + text("dialog.save.filter") +
                                   ": *.SWF] [" + text("dialog.save.webPageFilter") +
                                   ": *.html] .swf ask name=Visiten karte.swf";
    EXPECT_EQ(windows.callsOf({"saveFile", "chooseColor"}),
              (Lines{saveDialog, "chooseColor 255", "chooseColor 1056816", saveDialog}));
    EXPECT_EQ(windows.editorStates.at(2).last->outcome, CommandOutcome::cancelled);
    EXPECT_EQ(windows.editorStates.at(3).last->outcome, CommandOutcome::cancelled);
    EXPECT_EQ(windows.editorStates.back().last->saved, dir.file("card.swf"));
    EXPECT_FALSE(windows.editorStates.back().unsaved);
}

TEST_F(EditorCommandsTest, QuitWithUnsavedEditsAsksOnceAndNoGoesOn) {
    const UiEvent card = command("selectMovie", "card"), poster = command("selectMovie", "extra\\poster");
    struct Case {
        std::vector<UiEvent> before;
        bool typed;  // into the card, while it is chosen
        std::deque<MessageAnswer> answers;
        std::size_t questions;
        bool ended;
    } cases[] = {
        {{card}, false, {}, 0, true},
        // Typed and not yet applied counts too.
        {{card}, true, {MessageAnswer::no}, 1, false},
        // Left for another template, the card's edits still count.
        {{card, poster}, true, {MessageAnswer::no}, 1, false},
        {{card, poster}, true, {MessageAnswer::yes}, 1, true},
        {{poster, card, command("clicked", "save")}, true, {}, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        freshStart();
        windows.files = {dir.file("out.swf")};
        windows.messageAnswers = c.answers;
        windows.onEvent = [&](const UiEvent&) {
            if (c.typed && app->currentMovie() == "card") windows.variables["title"] = "Neu";
        };
        std::vector<UiEvent> events = c.before;
        events.push_back(command("clicked", "quit"));
        events.push_back(command("minimize"));  // handled only when the quit was declined
        run(events);
        const Lines boxes = windows.callsOf({"messageBox"});
        EXPECT_EQ(boxes.size(), c.questions) << ::testing::PrintToString(boxes);
        if (c.questions > 0) {
            EXPECT_EQ(boxes.front(), "messageBox question yesNo Tarvenox: " + text("message.unsavedQuit"));
        }
        EXPECT_EQ(windows.callsOf({"minimize"}).empty(), c.ended);
    }
}

// "openMovie" asks first while edits are unsaved; a movie that cannot be read leaves the
// session as it was; an opened movie is the session's one template, chosen at once, with
// the skin loaded anew, and its result is proposed beside it under another name.
TEST_F(EditorCommandsTest, OpenMovieAsksFirstAndSwitchesTheSession) {
    const std::string movie =
        dir.write("movies/banner.swf", test::MovieBuilder(8).background(1, 2, 3).showFrame().build());
    const std::string notMovie = dir.write("movies/notes.swf", std::string("no movie"));
    windows.files = {png, std::nullopt, notMovie, movie, std::nullopt};
    windows.messageAnswers = {MessageAnswer::cancel};
    windows.events = {command("selectMovie", "card"), command("selectImage", "logo"), command("openMovie"),
                      command("openMovie"),           command("openMovie"),           command("openMovie"),
                      command("clicked", "save")};
    {
        CTarvenoxDlg dialog(*app, "", windows);
        dialog.setMovieOpener([&](const std::string& path) -> Result<std::string> {
            if (Report opened = app->openMovie(path); opened.failed()) return opened;
            return app->movieTemplate();
        });
        dialog.DoModal();
    }
    std::vector<CommandOutcome> outcomes;
    for (const EditorState& state : windows.editorStates) {
        if (!state.last || state.last->command != "openMovie") continue;
        outcomes.push_back(state.last->outcome);
        if (state.last->outcome != CommandOutcome::done) {
            EXPECT_EQ(state.templateName, "card");
        }
    }
    EXPECT_EQ(outcomes, (std::vector<CommandOutcome>{CommandOutcome::cancelled, CommandOutcome::cancelled,
                                                     CommandOutcome::failed, CommandOutcome::done}));
    const Lines boxes = windows.callsOf({"messageBox"});
    ASSERT_EQ(boxes.size(), 5u);  // each time asked; the unreadable movie told
    EXPECT_EQ(boxes[0], "messageBox question okCancel Tarvenox: " + text("message.unsavedOpen"));
    EXPECT_EQ(boxes[3].rfind("messageBox error ok Tarvenox: " + notMovie, 0), 0u) << boxes[3];

    const EditorState& opened = answerTo("openMovie");
    EXPECT_EQ(opened.templateName, "banner");
    EXPECT_EQ(opened.title, "banner.swf");
    EXPECT_FALSE(opened.unsaved);
    EXPECT_TRUE(opened.pictures.empty());
    const Lines movies = windows.callsOf({"movie"});
    EXPECT_EQ(std::count(movies.begin(), movies.end(), "movie skin " + app->workingFolder() + "skin.swf"), 2)
        << "the skin is loaded anew";
    EXPECT_EQ(windows.callsOf({"saveFile"}).back().substr(windows.callsOf({"saveFile"}).back().find("name=")),
              "name=" + dir.file("movies/banner-edited.swf"));
}

}  // namespace
}  // namespace tarvenox
