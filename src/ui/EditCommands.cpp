// The editor's own commands: the history of each template's edits (undo, redo), going
// back to a template's own font, picture or music, how a chosen picture fills its slot,
// the copies of chosen files the editor
// shows, asking before unsaved edits are lost, and the editor's state after a command.
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "common/Cp1252.h"
#include "common/Log.h"
#include "edit/EditSession.h"
#include "edit/MovieSave.h"
#include "edit/TemplateCatalogue.h"
#include "ui/CTarvenoxDlg.h"
#include "ui/DialogTexts.h"

namespace tarvenox {

namespace {

std::string lastPart(const std::string& path) { return std::filesystem::path(path).filename().string(); }

}  // namespace

EditHistory* CTarvenoxDlg::history() {
    auto it = histories_.find(app_.currentMovie());
    return it == histories_.end() ? nullptr : &it->second;
}

const EditHistory* CTarvenoxDlg::history() const {
    auto it = histories_.find(app_.currentMovie());
    return it == histories_.end() ? nullptr : &it->second;
}

bool CTarvenoxDlg::recordStep() {
    EditHistory* edits = history();
    return edits != nullptr && edits->record(app_.edits(), EditHistory::Clock::now());
}

CommandOutcome CTarvenoxDlg::restoreState(const EditState& state) {
    std::vector<std::string> before;
    for (std::size_t i = 0; i < app_.actionVariables().size(); ++i) before.push_back(app_.variableText(i));
    app_.restore(state);
    pushVariables();
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (app_.variableText(i) != before[i]) showTextInPreview(i);
    }
    skinControl.SetVariable("_root.backgroundColor", std::to_string(app_.currentBackgroundColor()));
    return rebuildPreview();
}

CommandOutcome CTarvenoxDlg::undo() {
    EditHistory* edits = history();
    const EditState* state = edits != nullptr ? edits->undo() : nullptr;
    return state != nullptr ? restoreState(*state) : CommandOutcome::unchanged;
}

CommandOutcome CTarvenoxDlg::redo() {
    EditHistory* edits = history();
    const EditState* state = edits != nullptr ? edits->redo() : nullptr;
    return state != nullptr ? restoreState(*state) : CommandOutcome::unchanged;
}

CommandOutcome CTarvenoxDlg::restoreChoice(bool restored) {
    if (!restored) return CommandOutcome::unchanged;
    recordStep();
    return CommandOutcome::done;
}

CommandOutcome CTarvenoxDlg::fitPicture(const std::string& args) {
    // The fit comes first: a fit's name holds no ':', an export name may.
    const auto colon = args.find(':');
    const auto fit = parsePictureFit(std::string_view(args).substr(0, colon));
    if (colon == std::string::npos || !fit) {
        logPrint("fitImage(%s): not FIT:NAME with FIT cover, contain or stretch\n", args.c_str());
        return CommandOutcome::unchanged;
    }
    return restoreChoice(app_.setPictureFit(args.substr(colon + 1), *fit));
}

CTarvenoxDlg::~CTarvenoxDlg() {
    for (const auto& [path, name] : previews_) ::unlink((app_.workingFolder() + name).c_str());
}

std::string CTarvenoxDlg::previewCopy(const std::string& path, const std::string& kind, const std::string& extension) {
    if (auto known = previews_.find(path); known != previews_.end()) return known->second;
    // Template files in the working folder are movies and texts: a name of this form
    // and extension is never one of them.
    const std::string name = "chosen-" + kind + "-" + std::to_string(++copies_) + "." + extension;
    std::error_code error;
    std::filesystem::copy_file(path, app_.workingFolder() + name, std::filesystem::copy_options::overwrite_existing,
                               error);
    if (error) {
        logPrint("copy of %s for the editor: %s\n", path.c_str(), error.message().c_str());
        return "";
    }
    return previews_[path] = name;
}

CommandOutcome CTarvenoxDlg::chooseFile(const std::string& path, const Report& added, const std::string& kind,
                                        const std::string& extension) {
    if (added.failed()) {
        windows_.messageBox(texts::caption(), added.messages().front().text, MessageIcon::information,
                            MessageButtons::ok);
        return CommandOutcome::failed;
    }
    previewCopy(path, kind, extension);
    return recordStep() ? CommandOutcome::done : CommandOutcome::unchanged;
}

bool CTarvenoxDlg::anyUnsaved() {
    // What was typed and not yet applied counts too.
    if (!app_.currentMovie().empty() && collectVariables()) recordStep();
    return std::any_of(histories_.begin(), histories_.end(), [](const auto& entry) { return entry.second.unsaved(); });
}

bool CTarvenoxDlg::quitAllowed() {
    return !anyUnsaved() || windows_.messageBox(texts::caption(), texts::unsavedQuit(), MessageIcon::question,
                                                MessageButtons::yesNo) == MessageAnswer::yes;
}

CommandOutcome CTarvenoxDlg::openMovie() {
    if (!movieOpener_) return CommandOutcome::unchanged;
    // Every template's edits go with the session, not only the selected one's.
    if (anyUnsaved() && windows_.messageBox(texts::caption(), texts::unsavedOpen(), MessageIcon::question,
                                            MessageButtons::okCancel) != MessageAnswer::ok) {
        return CommandOutcome::cancelled;
    }
    auto path = windows_.openFile(texts::openMovieTitle(), {{texts::movieFilter(), {"*.swf"}}});
    if (!path) return CommandOutcome::cancelled;
    Result<std::string> opened = movieOpener_(*path);
    if (!opened) {
        logPrint("openMovie(%s): %s\n", path->c_str(), opened.report().reason().c_str());
        windows_.messageBox(texts::caption(), opened.report().reason(), MessageIcon::error, MessageButtons::ok);
        return CommandOutcome::failed;
    }
    logPrint("openMovie(%s)\n", path->c_str());
    histories_.clear();
    built_.reset();
    shownBesideTexts_.reset();
    reloadDue_.reset();
    openedMovie_ = *path;
    viewerControl.Movie("");
    // The page builds its skin anew for the new installation's texts.
    skinControl.Movie(app_.workingFolder() + "skin.swf");
    skinControl.SetVariable("_root.skin_currentPath", utf8ToCp1252(app_.currentPath()));
    return selectMovie(*opened);
}

EditorState CTarvenoxDlg::editorState(std::optional<CommandResult> last) const {
    EditorState state;
    state.templateName = app_.currentMovie();
    if (!state.templateName.empty()) {
        state.title = templateTitle(app_, app_.currentMovie());
        std::replace(state.title.begin(), state.title.end(), '+', ' ');
    }
    state.fonts = app_.fontReplacements();
    auto chosen = [&](const Replacements& choices, std::map<std::string, ChosenFile>& files) {
        for (const auto& [name, path] : choices) {
            auto preview = previews_.find(path);
            files[name] = {lastPart(path), preview == previews_.end() ? "" : preview->second, ""};
        }
    };
    chosen(app_.pictureReplacements(), state.pictures);
    for (auto& [name, picture] : state.pictures) picture.fit = pictureFitName(fitOf(app_.pictureFits(), name));
    chosen(app_.soundReplacements(), state.sounds);
    state.ownPictures = app_.ownPictures();
    if (const EditHistory* edits = history()) {
        state.unsaved = edits->unsaved();
        state.canUndo = edits->canUndo();
        state.canRedo = edits->canRedo();
    }
    state.last = std::move(last);
    return state;
}

}  // namespace tarvenox
