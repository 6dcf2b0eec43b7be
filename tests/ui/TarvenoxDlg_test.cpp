// The main dialog and its handlers, driven with the interface movie's commands and the
// user's scripted answers, on a small installation.
#include "common/Texts.h"
#include "ui/CTarvenoxDlg.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "app/TarvenoxApp.h"
#include "support/Installation.h"
#include "support/LogCapture.h"
#include "support/Mp3Builder.h"
#include "support/PictureFiles.h"
#include "support/ReadMovie.h"
#include "support/ScriptedWindowSystem.h"
#include "support/TempDir.h"
#include "swf/MovieProbe.h"
#include "swf/SWFFile.h"

namespace tarvenox {
namespace {

using test::LogCapture;
using test::ScriptedWindowSystem;
using Lines = std::vector<std::string>;

UiEvent command(std::string name, std::string args = "", Player player = Player::skin) {
    return ScriptedWindowSystem::command(std::move(name), std::move(args), player);
}

UiEvent escape(bool fullscreen) {
    UiEvent event;
    event.kind = UiEvent::Kind::escape;
    event.fullscreen = fullscreen;
    return event;
}

class TarvenoxDlgTest : public ::testing::Test {
protected:
    TarvenoxDlgTest() {
        test::writeInstallation(dir);
        dir.write("tmp/.keep", "");
        app = std::make_unique<CTarvenoxApp>(AppEnvironment{dir.path(), dir.file("no-registry"), dir.file("tmp")});
    }

    // Runs the dialog over the events (ending with "quit" when they run out) and returns
    // the calls it made after its start.
    Lines run(std::vector<UiEvent> events, const std::string& cdPath = "") {
        windows.events.assign(events.begin(), events.end());
        CTarvenoxDlg dialog(*app, cdPath, windows);
        if (videoExport) dialog.setVideoExport(videoExport);
        dialog.DoModal();
        Lines calls = windows.calls;
        auto start = std::find(calls.begin(), calls.end(), "setVariable skin _root.skin_cdpath=" + cdPath);
        return start == calls.end() ? calls : Lines(start + 1, calls.end());
    }

    std::string viewerMovie() const { return "movie viewer " + app->workingCopyPath(); }

    LogCapture log;
    test::TempDir dir;
    std::unique_ptr<CTarvenoxApp> app;
    ScriptedWindowSystem windows;
    VideoExport videoExport;
};

TEST_F(TarvenoxDlgTest, StartsWithTheInterfaceMovieOverTheScreenAndThePreviewHidden) {
    windows.screen = {1280, 1024};
    run({});
    const std::string work = app->workingFolder();
    EXPECT_EQ(windows.calls, (Lines{
                                 "title Tarvenox",
                                 "flashVersion skin",
                                 "place skin 0,0-1280,1024",
                                 "scale skin ExactFit",
                                 "place viewer 640,376-1122,805",
                                 "backgroundColor viewer 0",
                                 "scale viewer NoBorder",
                                 "hide viewer",
                                 "backgroundColor skin 0",
                                 "movie skin " + work + "skin.swf",
                                 "setVariable skin _root.skin_currentPath=" + dir.path() + "/",
                                 "setVariable skin _root.skin_cdpath=",
                             }));
}

TEST_F(TarvenoxDlgTest, FailedChecksAtTheStartEndTheDialog) {
    struct Case {
        std::int32_t version;
        ScreenSize screen;
        Lines messages;
    } cases[] = {
        {5 << 16, {800, 600}, {}},
        {(4 << 16) | 0xFFFF, {1024, 768}, {"messageBox information ok Tarvenox: " + text("message.flashMissing")}},
        {0,
         {799, 600},
         {"messageBox information ok Tarvenox: " + text("message.flashMissing"),
          "messageBox error ok Tarvenox: " + text("message.screenTooSmall")}},
        {32 << 16, {1920, 599}, {"messageBox error ok Tarvenox: " + text("message.screenTooSmall")}},
    };
    for (const Case& c : cases) {
        windows = ScriptedWindowSystem();
        windows.version = c.version;
        windows.screen = c.screen;
        // A command that would be handled if the dialog went on.
        windows.events = {command("minimize")};
        CTarvenoxDlg dialog(*app, "", windows);
        dialog.DoModal();
        EXPECT_EQ(windows.callsOf({"messageBox"}), c.messages) << c.screen.width;
        // The start runs on all the same: the interface movie is loaded.
        EXPECT_EQ(windows.callsOf({"movie"}).size(), 1u);
        EXPECT_EQ(windows.callsOf({"minimize"}).size(), c.messages.empty() ? 1u : 0u);
    }
}

TEST_F(TarvenoxDlgTest, CommandsAreMatchedExactlyAndOnlyTheInterfaceMovieCommands) {
    Lines calls = run({
        command("Quit"), command("clicked", "Quit"), command("clicked", "options"), command("clicked", "info"),
        command("noSuchCommand", "x"), escape(false), command("clicked", "quit", Player::viewer), command("hideViewer"),
        command("showViewer"), command("minimize"), command("clicked", "help"), command("clicked", "quit"),
        command("minimize"),  // after quit: never handled
    });
    EXPECT_EQ(calls, (Lines{"hide viewer", "show viewer", "minimize", "openHelp"}));
    EXPECT_NE(log.text().find("clicked(options)\nclicked(info)\nhideViewer\nshowViewer\n"
                              "clicked(help)\nclicked(quit)\n"),
              std::string::npos)
        << log.text();
    EXPECT_EQ(log.text().find("Quit"), std::string::npos);
}

TEST_F(TarvenoxDlgTest, SelectingATemplateLoadsItsPreviewAndSendsItsVariablesInOrder) {
    Lines calls = run({command("selectMovie", "card"), command("selectMovie", "card")});
    Lines once = {
        // Placed by the movie's frame, then loaded on the movie's background (#102030).
        calls.at(0),
        viewerMovie(),
        "backgroundColor viewer 1056816",
        "setVariable skin _root.backgroundColor=1056816",
        "setVariable skin title=Hallo",
        "setVariable skin count=3",
        "setVariable skin shown=true",
        "setVariable skin _root.editLoaded=1",
    };
    EXPECT_EQ(calls.at(0).rfind("place viewer ", 0), 0u);
    Lines twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(calls, twice);
    EXPECT_NE(log.text().find("selectMovie(card)\n"), std::string::npos);
}

TEST_F(TarvenoxDlgTest, AChosenColourGoesToItsVariableAndOnlyTheBackgroundIntoTheSave) {
    windows.colors = {0xFF0000, 0xFFFFFF, std::nullopt, 0x336699};
    int dialogs = 0;
    CustomColors seen{};
    windows.editCustomColors = [&](CustomColors& colors) {
        if (dialogs++ == 0) colors[3] = 0x123456;
        seen = colors;
    };
    run({command("selectMovie", "card"), command("selectColor", "_root.textColor"),
         command("selectColor", "_root.BackgroundColor"), command("selectColor", "_root.backgroundColor"),
         command("selectColor", "_root.backgroundColor")});
    EXPECT_EQ(windows.variables["_root.textColor"], "16711680");
    EXPECT_EQ(windows.variables["_root.BackgroundColor"], "16777215");
    EXPECT_EQ(windows.variables["_root.backgroundColor"], "3368601");
    EXPECT_EQ(app->currentBackgroundColor(), 0x336699);
    EXPECT_EQ(app->savedBackgroundColor(), 0x102030);  // until the next apply
    EXPECT_NE(log.text().find("Color: 16711680\nColor: 16777215\nColor: abort\nColor: 3368601\n"), std::string::npos);
    // The custom colours set in the first dialog are offered in the last.
    EXPECT_EQ(seen[3], 0x123456);
    EXPECT_EQ(seen[0], 0xFFFFFF);
}

TEST_F(TarvenoxDlgTest, ApplyCollectsTheVariablesWithTheirLineEndsAndReloadsThePreview) {
    windows.onEvent = [&](const UiEvent& event) {
        if (event.command != "apply") return;
        windows.variables["title"] = "a\r\nb\rc";
    };
    windows.colors = {0x336699};
    Lines calls =
        run({command("selectMovie", "card"), command("selectColor", "_root.backgroundColor"), command("apply")});
    EXPECT_EQ(app->actionVariables()[0]->getValueText(), "a\n\nb\nc");
    // The movie playing gets the text first, as the rebuilt one holds it.
    Lines tail(calls.end() - 7, calls.end());
    EXPECT_EQ(tail, (Lines{"getVariable skin title", "getVariable skin count", "getVariable skin shown",
                           "setVariable viewer title=a\n\nb\nc", "backgroundColor viewer 3368601", "movie viewer ",
                           viewerMovie()}));
    EXPECT_EQ(probeBackgroundColor(app->workingCopyPath()), 0x336699);
}

TEST_F(TarvenoxDlgTest, CancelledDialogsChangeNothing) {
    Lines calls = run({command("selectMovie", "card"), command("clicked", "save"), command("selectImage", "logo"),
                       command("selectMp3", "music"), command("selectFont", "Title"),
                       command("selectColor", "_root.backgroundColor")});
    EXPECT_EQ(Lines(calls.end() - 5, calls.end()),
              (Lines{"saveFile " + text("dialog.save.title") + " [" + text("dialog.save.filter") + ": *.SWF] [" +
                         text("dialog.save.webPageFilter") + ": *.html] .swf ask name=Visiten karte.swf",
                     "openFile " + text("dialog.picture.title") + " [" + text("dialog.picture.filter") +
                         ": *.png *.jpg *.jpeg]",
                     "openFile " + text("dialog.sound.title") + " [" + text("dialog.sound.filter") + ": *.mp3]",
                     "chooseFont 1 10", "chooseColor 1056816"}));
    EXPECT_TRUE(app->pictureReplacements().empty());
    EXPECT_TRUE(app->soundReplacements().empty());
    EXPECT_TRUE(app->fontReplacements().empty());
    EXPECT_EQ(app->currentBackgroundColor(), 0x102030);
    EXPECT_EQ(log.text().find("writing SWFFile"), std::string::npos);
}

TEST_F(TarvenoxDlgTest, ChoicesAreRecordedAndTheSaveCopiesTheAppliedMovie) {
    const std::string png = dir.write(
        "media/pic.png",
        test::encodePng({.width = 4, .height = 3, .colorType = 2, .rows = {Bytes(12, 9), Bytes(12, 9), Bytes(12, 9)}}));
    const std::string progressive = dir.write("media/prog.jpg", test::encodeJpeg(8, 8, true));
    const std::string mp3 = dir.write("media/song.mp3", test::mp3Frames(0xFFFB9064, 20));
    const std::string result = dir.file("out/result.swf");
    dir.write("out/.keep", "");
    windows.fonts = {FontChoice{"DejaVu Sans", 700, true, 100}};
    windows.files = {png, progressive, mp3, dir.file("missing/folder/x.swf"), result};
    run({command("selectMovie", "card"), command("selectFont", "Title"), command("selectImage", "logo"),
         command("selectImage", "logo"), command("selectMp3", "music"), command("clicked", "save"),
         command("clicked", "save")});

    EXPECT_NE(log.text().find("font: DejaVu Sans, point: 100, bold: 1, italic: 1\n"), std::string::npos);
    EXPECT_EQ(app->fontReplacements(), (std::map<std::string, std::string>{{"Title", "DejaVu Sans"}}));
    EXPECT_EQ(windows.variables["_root.widths"].size(), 448u);
    EXPECT_NE(windows.variables["_root.widths"], std::string(448, '0'));
    // The progressive JPEG is refused with its message alone; the PNG stays chosen.
    EXPECT_EQ(app->pictureReplacements().at("logo"), png);
    EXPECT_EQ(app->soundReplacements().at("music"), mp3);
    Lines boxes = windows.callsOf({"messageBox"});
    ASSERT_EQ(boxes.size(), 2u) << ::testing::PrintToString(boxes);
    EXPECT_EQ(boxes[0], "messageBox information ok Tarvenox: " + text("jpeg.progressive"));
    // A destination that cannot be written is told; the next save writes the movie.
    EXPECT_EQ(boxes[1].rfind("messageBox error ok Tarvenox: ", 0), 0u);
    EXPECT_EQ(test::readBytes(result), test::readBytes(app->workingCopyPath()));
    SWFFile saved = test::readMovie(result);
    EXPECT_NE(log.text().find("replacing image logo with image " + png), std::string::npos);
}

// The page is written beside its movie with the player's files; a page that cannot be
// written is told, and its movie stays saved.
TEST_F(TarvenoxDlgTest, APageChosenInTheSaveDialogGetsTheMovieBesideIt) {
    test::TempDir share;
    share.write("web/index.html", std::string("<!doctype html>"));
    ::setenv("TARVENOX_SHARE", share.path().c_str(), 1);
    windows.files = {dir.file("card.HTML")};
    run({command("selectMovie", "card"), command("clicked", "save")});
    EXPECT_EQ(test::readBytes(dir.file("card.swf")), test::readBytes(app->workingCopyPath()));
    EXPECT_EQ(windows.callsOf({"messageBox"}),
              (Lines{"messageBox error ok Tarvenox: --html: the player's files are not installed "
                     "(share/tarvenox/ruffle beside the program)"}));

    share.write("ruffle/ruffle.js", std::string("// the player"));
    windows = ScriptedWindowSystem();
    windows.files = {dir.file("out/card.html")};
    dir.write("out/.keep", "");
    run({command("selectMovie", "card"), command("clicked", "save")});
    ::unsetenv("TARVENOX_SHARE");
    EXPECT_TRUE(windows.callsOf({"messageBox"}).empty()) << ::testing::PrintToString(windows.callsOf({"messageBox"}));
    EXPECT_EQ(test::readBytes(dir.file("out/card.swf")), test::readBytes(app->workingCopyPath()));
    EXPECT_NE(test::readText(dir.file("out/card.html")).find("src=\"card_files/ruffle.js\""), std::string::npos);
    EXPECT_EQ(test::readText(dir.file("out/card_files/ruffle.js")), "// the player");
}

// A video chosen in the save dialog is written from the working copy by the export the
// program hands in, on a thread of its own: the page's events are taken meanwhile and
// handled after it. Its failure is told in a box; a movie chosen is copied as before.
TEST_F(TarvenoxDlgTest, AVideoChosenInTheSaveDialogIsWrittenFromTheWorkingCopy) {
    const std::string failure = "writing a video needs ffmpeg, which is not installed";
    struct Case {
        std::optional<std::string> chosen;  // relative to dir; nullopt: cancelled
        bool exportFails;
        CommandOutcome outcome;
        bool exported;
    } cases[] = {
        {"out/card.MP4", false, CommandOutcome::done, true},
        {"out/card.gif", true, CommandOutcome::failed, true},
        {std::nullopt, false, CommandOutcome::cancelled, false},
        {"out/card.swf", false, CommandOutcome::done, false},
    };
    dir.write("out/.keep", "");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen.value_or("cancelled"));
        windows = ScriptedWindowSystem();
        const std::string path = c.chosen ? dir.file(*c.chosen) : "";
        windows.files = {c.chosen ? std::optional(path) : std::nullopt};
        std::atomic<bool> taken = false;
        windows.onEvent = [&](const UiEvent& event) { taken = taken || event.command == "minimize"; };
        const auto host = std::this_thread::get_id();
        videoExport = [&](const std::string& movie, const std::string& video) -> Report {
            // The export waits for the page's next event: taken only while it runs. The
            // host thread records nothing meanwhile, so the line lands between its calls.
            for (int i = 0; i < 500 && !taken; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
            windows.calls.push_back("exported " + movie + " -> " + video + (taken ? " after an event" : "") +
                                    (std::this_thread::get_id() == host ? " on the host's thread" : ""));
            return c.exportFails ? Report::failure(failure) : Report();
        };
        run({command("selectMovie", "card"), command("clicked", "save"), command("minimize")});

        ASSERT_EQ(windows.callsOf({"saveFile"}).size(), 1u);
        EXPECT_NE(windows.callsOf({"saveFile"})[0].find(" [" + text("dialog.save.webPageFilter") + ": *.html] [" +
                                                        text("dialog.save.mp4Filter") + ": *.mp4] [" +
                                                        text("dialog.save.gifFilter") + ": *.gif] .swf ask"),
                  std::string::npos);
        // The event taken while the video was made is handled after it, once.
        const Lines exported = {"exported " + app->workingCopyPath() + " -> " + path + " after an event", "minimize"};
        EXPECT_EQ(windows.callsOf({"exported", "minimize"}), c.exported ? exported : Lines{"minimize"});
        EXPECT_EQ(windows.callsOf({"messageBox"}),
                  c.exportFails ? Lines{"messageBox error ok Tarvenox: " + text("message.videoFailed") + "\n" + failure}
                                : Lines{});
        ASSERT_GE(windows.editorStates.size(), 2u);
        const std::optional<CommandResult>& saved = windows.editorStates.back().last;
        ASSERT_TRUE(saved.has_value());
        EXPECT_EQ(saved->outcome, c.outcome);
        EXPECT_EQ(saved->saved, c.outcome == CommandOutcome::done ? path : "");
        if (c.chosen && !c.exported) {
            EXPECT_EQ(test::readBytes(path), test::readBytes(app->workingCopyPath()));
        }
    }
}

TEST_F(TarvenoxDlgTest, SavingBeforeATemplateIsChosenWritesNothing) {
    windows.files = {dir.file("result.swf")};
    run({command("apply"), command("clicked", "save")});
    EXPECT_EQ(windows.callsOf({"messageBox"}),
              (Lines{"messageBox information ok Tarvenox: " + text("message.noTemplateSelected")}));
    EXPECT_TRUE(test::readBytes(dir.file("result.swf")).empty());
}

TEST_F(TarvenoxDlgTest, ProgramsAreLookedForOnTheCdPathThenOnEveryMountedDisc) {
    const std::string cd = dir.file("cd with blanks; and more") + "/";
    const std::string disc1 = dir.file("disc 1"), disc2 = dir.file("disc;2");
    dir.write("disc 1/other.exe", "");
    dir.write("disc;2/setup/start it.exe", "");
    dir.write("disc 1/setup/start it.exe/.keep", "");  // a folder is not a program
    windows.media = {disc1, disc2 + "/"};
    Lines calls = run({command("exec", "setup\\start it.exe"), command("exec", "nowhere.exe")}, cd);
    EXPECT_EQ(calls, (Lines{"opticalMedia", "runProgram " + disc2 + "/setup/start it.exe", "opticalMedia",
                            "messageBox information ok Tarvenox: " + text("message.programNotFound")}));
    EXPECT_NE(log.text().find("exec(" + disc2 + "/setup/start it.exe)\n"), std::string::npos);

    // Found on the CD path, the discs are not looked at.
    dir.write("cd with blanks; and more/setup/start it.exe", "");
    windows = ScriptedWindowSystem();
    windows.media = {disc2};
    EXPECT_EQ(run({command("exec", "setup\\start it.exe")}, cd), (Lines{"runProgram " + cd + "setup/start it.exe"}));

    // A path that leads out of the CD folder and of every disc runs nothing.
    dir.write("x.sh", "#!/bin/sh\n");
    windows = ScriptedWindowSystem();
    windows.media = {disc1};
    EXPECT_EQ(run({command("exec", "..\\x.sh")}, cd),
              (Lines{"opticalMedia", "messageBox information ok Tarvenox: " + text("message.programNotFound")}));
    EXPECT_NE(log.text().find("refused exec(" + cd + "../x.sh): leads to " + dir.file("x.sh") + ", outside " + cd),
              std::string::npos)
        << log.text();
    EXPECT_NE(log.text().find("refused exec(" + disc1 + "/../x.sh)"), std::string::npos) << log.text();
}

TEST_F(TarvenoxDlgTest, FullscreenShowsTheWorkingCopyAndHoldsBackTheMainWindowsCommands) {
    windows.screen = {1024, 768};
    Lines calls = run({command("selectMovie", "card"), command("clicked", "fullscreen"), command("hideViewer"),
                       command("close", "", Player::fullscreenMovie), command("Close", "", Player::fullscreenButton),
                       command("close", "now", Player::fullscreenButton), command("clicked", "fullscreen"),
                       escape(true), command("clicked", "fullscreen"), UiEvent{}, command("minimize")});
    const std::string work = app->workingFolder();
    auto first = std::find(calls.begin(), calls.end(), "movie viewer ");
    ASSERT_NE(first, calls.end());
    Lines expected = {
        "movie viewer ",
        "openFullscreen 1056816",
        *(first + 2),  // the movie's place, fitted to the screen
        "backgroundColor fullscreenMovie 1056816",
        "scale fullscreenMovie NoBorder",
        "movie fullscreenMovie " + app->workingCopyPath(),
        "backgroundColor fullscreenButton 1056816",
        "scale fullscreenButton ExactFit",
        "place fullscreenButton 878,692-1024,768 ellipse",
        "movie fullscreenButton " + work + "button.swf",
        "show fullscreenButton",
        "closeFullscreen",
        viewerMovie(),
        "hide viewer",  // held back until the viewer closed
    };
    EXPECT_EQ(Lines(first, first + expected.size()), expected);
    // Escape closes it too; the end of the program closes it and ends the main window.
    EXPECT_EQ(windows.callsOf({"closeFullscreen"}).size(), 3u);
    EXPECT_TRUE(windows.callsOf({"minimize"}).empty());
}

}  // namespace
}  // namespace tarvenox
