// The main dialog: its start, the preview's place, and the dispatch of the interface
// movie's commands.
#include "ui/CTarvenoxDlg.h"

#include <cstdint>
#include <exception>

#include "common/Cp1252.h"
#include "common/Log.h"
#include "edit/EditSession.h"
#include "ui/DialogTexts.h"
#include "ui/ViewerGeometry.h"

namespace tarvenox {

CTarvenoxDlg::CTarvenoxDlg(EditSession& app, std::string cdPath, WindowSystem& windows)
    : app_(app),
      cdPath_(std::move(cdPath)),
      windows_(windows),
      events_(windows),
      skinControl(windows, Player::skin),
      viewerControl(windows, Player::viewer) {}

int CTarvenoxDlg::DoModal() {
    OnInitDialog();
    while (!ended_) {
        UiEvent event = events_.next(reloadDue_);
        switch (event.kind) {
            case UiEvent::Kind::idle:
                // Typing has paused: the preview's rebuilt movie follows its texts.
                if (reloadDue_) reloadPreview();
                break;
            case UiEvent::Kind::end: EndDialog(); break;
            case UiEvent::Kind::escape:
                // Escape does not close the program: only "quit" does.
                break;
            case UiEvent::Kind::fsCommand:
                // Only the interface movie commands; the preview's movie is the user's
                // template and may not.
                if (event.player != Player::skin) break;
                try {
                    OnFSCommand(event.command, event.args);
                } catch (const std::exception& error) {
                    tellCommandFailed(event.command, event.args, error.what());
                }
                break;
        }
    }
    return 0;
}

bool CTarvenoxDlg::OnInitDialog() {
    windows_.setTitle(texts::caption());

    // The checks end the dialog but let the start run on, as a dialog ended during its
    // initialisation does.
    if ((static_cast<std::uint32_t>(skinControl.FlashVersion()) >> 16) < 5) {
        showFlashMissingMessage();
        EndDialog();
    }
    // The screen's size, not the browser window's: a small window never ends the
    // program, the page stretches the layout to it.
    ScreenSize screen = windows_.screenSize();
    if (screen.width < 800 || screen.height < 600) {
        windows_.messageBox(texts::caption(), texts::screenTooSmall(), MessageIcon::error, MessageButtons::ok);
        EndDialog();
    }

    skinControl.MoveWindow({0, 0, screen.width, screen.height});
    skinControl.Scale("ExactFit");
    placeViewer(viewerBox.width(), viewerBox.height());
    viewerControl.BackgroundColor(0);
    viewerControl.Scale("NoBorder");
    viewerControl.HideWindow();

    skinControl.BackgroundColor(0);
    skinControl.Movie(app_.workingFolder() + "skin.swf");
    // The movie takes texts in Windows-1252; the paths are UTF-8.
    skinControl.SetVariable("_root.skin_currentPath", utf8ToCp1252(app_.currentPath()));
    skinControl.SetVariable("_root.skin_cdpath", utf8ToCp1252(cdPath_));
    if (!startTemplate_.empty() && !ended_) {
        // An opened movie's form shows without a click.
        logPrint("selectMovie(%s)\n", startTemplate_.c_str());
        const CommandOutcome outcome = selectMovie(startTemplate_);
        windows_.showEditorState(editorState(CommandResult{"selectMovie", startTemplate_, outcome, ""}));
        return true;
    }
    // A page that connects learns the editor's state even before the first command.
    windows_.showEditorState(editorState(std::nullopt));
    return true;
}

void CTarvenoxDlg::selectAtStart(std::string templateName, std::string moviePath) {
    startTemplate_ = std::move(templateName);
    openedMovie_ = std::move(moviePath);
}

void CTarvenoxDlg::placeViewer(std::int32_t width, std::int32_t height) {
    viewerControl.MoveWindow(fitViewer(viewerBox, windows_.screenSize(), width, height));
}

void CTarvenoxDlg::OnFSCommand(const std::string& command, const std::string& args) {
    std::string saved;
    std::optional<CommandOutcome> outcome;
    try {
        outcome = runEditorCommand(command, args, &saved);
    } catch (const std::exception& error) {
        tellCommandFailed(command, args, error.what());
        outcome = CommandOutcome::failed;
    }
    if (outcome) {
        windows_.showEditorState(editorState(CommandResult{command, args, *outcome, saved}));
        return;
    }
    if (command == "clicked") {
        if (args == "quit") {
            logPrint("clicked(quit)\n");
            if (quitAllowed()) EndDialog();
        } else if (args == "help") {
            logPrint("clicked(help)\n");
            windows_.openHelp();
        } else if (args == "options") {
            logPrint("clicked(options)\n");
        } else if (args == "info") {
            logPrint("clicked(info)\n");
        } else if (args == "fullscreen") {
            logPrint("clicked(fullscreen)\n");
            showFullscreen();
        }
    } else if (command == "hideViewer") {
        viewerControl.HideWindow();
        logPrint("hideViewer\n");
    } else if (command == "showViewer") {
        viewerControl.ShowWindow();
        logPrint("showViewer\n");
    } else if (command == "exec") {
        runFromCd(args);
    } else if (command == "minimize") {
        windows_.minimize();
    }
}

std::optional<CommandOutcome> CTarvenoxDlg::runEditorCommand(const std::string& command, const std::string& args,
                                                             std::string* saved) {
    if (command == "clicked" && args == "save") {
        logPrint("clicked(save)\n");
        return saveAs(saved);
    }
    if (command == "selectMovie") {
        logPrint("selectMovie(%s)\n", args.c_str());
        return selectMovie(args);
    }
    if (command == "apply") return applyChanges();
    if (command == "selectColor") return chooseColor(args);
    if (command == "selectFont") return chooseFont(args);
    if (command == "selectImage") return choosePicture(args);
    if (command == "selectMp3") return chooseSound(args);
    if (command == "restoreFont") return restoreChoice(app_.restoreFont(args));
    if (command == "restoreImage") return restoreChoice(app_.restorePicture(args));
    if (command == "restoreMp3") return restoreChoice(app_.restoreSound(args));
    if (command == "fitImage") return fitPicture(args);
    if (command == "undo") return undo();
    if (command == "redo") return redo();
    if (command == "openMovie") return openMovie();
    return std::nullopt;
}

void CTarvenoxDlg::tellCommandFailed(const std::string& command, const std::string& args, const char* what) {
    // A command that fails unforeseen is told, and the program goes on.
    logPrint("%s(%s): %s\n", command.c_str(), args.c_str(), what);
    windows_.messageBox(texts::caption(), texts::commandFailed() + "\n" + what, MessageIcon::error, MessageButtons::ok);
}

void CTarvenoxDlg::EndDialog() { ended_ = true; }

void CTarvenoxDlg::showFlashMissingMessage() {
    windows_.messageBox(texts::caption(), texts::flashMissing(), MessageIcon::information, MessageButtons::ok);
}

}  // namespace tarvenox
