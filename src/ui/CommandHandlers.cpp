// The handlers of the interface movie's commands: choosing a template, colours, fonts,
// pictures and music, applying and saving, the fullscreen view and programs of the CD.
#include <algorithm>
#include <chrono>
#include <future>
#include <string>
#include <vector>

#include "common/Log.h"
#include "common/Report.h"
#include "edit/ColorText.h"
#include "edit/EditSession.h"
#include "edit/TemplateCatalogue.h"
#include "font/FontEngine.h"
#include "font/FontMetrics.h"
#include "picture/PictureFile.h"
#include "publish/WebPage.h"
#include "publish/WebPageName.h"
#include "swf/MovieProbe.h"
#include "ui/CFullscreenDlg.h"
#include "ui/CTarvenoxDlg.h"
#include "ui/DialogTexts.h"
#include "ui/ProgramRun.h"
#include "ui/SaveName.h"

namespace tarvenox {

namespace {

// Shows each message of a report in the box its kind asks for.
void showReport(WindowSystem& windows, const Report& report) {
    for (const UserMessage& message : report.messages()) {
        switch (message.kind) {
            case MessageKind::Information:
                windows.messageBox(texts::caption(), message.text, MessageIcon::information, MessageButtons::ok);
                break;
            case MessageKind::Error:
                windows.messageBox(texts::caption(), message.text, MessageIcon::error, MessageButtons::ok);
                break;
            case MessageKind::OkCancel:
                windows.messageBox(texts::caption(), message.text, MessageIcon::none, MessageButtons::okCancel);
                break;
        }
    }
}

// How often the dialog looks whether a video is written while it takes the page's events.
constexpr auto videoPoll = std::chrono::milliseconds(100);

// A movie's text with each carriage return and each line feed as one line feed, the way
// the movie's text fields break lines.
std::string withLineFeeds(const std::string& text) {
    std::string result = text;
    for (char& c : result) {
        if (c == '\r') c = '\n';
    }
    return result;
}

// A text the playing preview can be given as it is. A NUL would end the text early in the
// player (the rebuild refuses it with a message); numbers and booleans the rebuilt movie
// shows in the player's own form.
bool livePreviewText(const SWFType& variable) {
    return variable.typeLetter() == 's' && variable.getValueText().find('\0') == std::string::npos;
}

}  // namespace

CommandOutcome CTarvenoxDlg::selectMovie(const std::string& name) {
    // What was typed into the template being left and not yet applied stays with it.
    if (!app_.currentMovie().empty() && name != app_.currentMovie() && collectVariables()) recordStep();
    app_.selectMovie(name);
    built_.reset();
    auto [kept, fresh] = histories_.try_emplace(name, app_.edits());
    CommandOutcome outcome = CommandOutcome::done;
    // A template chosen again gets its edits back, in the preview too.
    if (!fresh && kept->second.current() != app_.edits()) {
        app_.restore(kept->second.current());
        Report report = app_.save();
        if (report.failed()) {
            showReport(windows_, report);
            outcome = CommandOutcome::failed;
        }
    }
    loadPreview();
    pushVariables();
    skinControl.SetVariable("_root.editLoaded", "1");
    return outcome;
}

void CTarvenoxDlg::loadPreview() {
    reloadDue_.reset();
    shownBesideTexts_ = editsBesideTexts();
    const std::string path = app_.workingCopyPath();
    auto [width, height] = probeFrameSize(path).value_or(std::pair<std::int32_t, std::int32_t>{0, 0});
    placeViewer(width, height);
    viewerControl.Movie(path);
    viewerControl.BackgroundColor(app_.savedBackgroundColor());
    skinControl.SetVariable("_root.backgroundColor", std::to_string(app_.savedBackgroundColor()));
}

void CTarvenoxDlg::pushVariables() {
    for (std::size_t i = 0; i < app_.actionVariables().size(); ++i) {
        skinControl.SetVariable(app_.actionVariables()[i]->getName(), app_.variableText(i));
    }
    for (const auto& text : app_.staticTexts()) skinControl.SetVariable(text.name, text.text);
}

bool CTarvenoxDlg::collectVariables() {
    std::vector<std::string> names;
    for (const auto& variable : app_.actionVariables()) names.push_back(variable->getName());
    const std::size_t variableCount = names.size();
    for (const auto& text : app_.staticTexts()) names.push_back(text.name);
    const std::vector<std::optional<std::string>> texts = skinControl.GetVariables(names);
    // A value the interface movie could not give (its page went away, or it did not
    // answer) leaves every value as it was: half the user's edits are no edit to save.
    if (texts.size() != names.size() || std::find(texts.begin(), texts.end(), std::nullopt) != texts.end()) {
        return false;
    }
    // A static text is no variable of the playing movie: a changed one is shown by the
    // rebuilt movie (the edits beside the texts differ).
    for (std::size_t i = variableCount; i < names.size(); ++i) {
        const std::string text = withLineFeeds(*texts[i]);
        if (text == app_.staticTexts()[i - variableCount].text) continue;
        app_.setStaticText(names[i], text);
        skinControl.KeepVariable(names[i], *texts[i]);
    }
    for (std::size_t i = 0; i < variableCount; ++i) {
        const std::string text = withLineFeeds(*texts[i]);
        // The template's own text may break its lines with carriage returns: the same
        // lines read back are no edit.
        if (text == withLineFeeds(app_.variableText(i))) continue;
        app_.setVariableText(names[i], text);
        showTextInPreview(i);
        // The movie holds the value already: sent again it would overwrite what the user
        // types meanwhile; kept, a reloaded movie gets it.
        skinControl.KeepVariable(names[i], *texts[i]);
    }
    return true;
}

CommandOutcome CTarvenoxDlg::applyChanges(Rebuild rebuild) {
    // Before a template is chosen there is nothing to apply.
    if (app_.currentMovie().empty()) return CommandOutcome::unchanged;
    if (!collectVariables()) {
        windows_.messageBox(texts::caption(), texts::valuesNotRead(), MessageIcon::error, MessageButtons::ok);
        return CommandOutcome::failed;
    }
    recordStep();
    if (rebuild == Rebuild::ifChanged && built_ && built_->first == app_.currentMovie() &&
        built_->second == app_.edits()) {
        return CommandOutcome::done;
    }
    return rebuildPreview();
}

void CTarvenoxDlg::showTextInPreview(std::size_t i) {
    const SWFType& variable = *app_.actionVariables()[i];
    if (livePreviewText(variable)) viewerControl.SetVariable(variable.getName(), variable.getValueText());
}

EditState CTarvenoxDlg::editsBesideTexts() const {
    EditState state = app_.edits();
    for (const auto& variable : app_.actionVariables()) {
        if (!livePreviewText(*variable)) continue;
        std::erase_if(state.variables, [&](const auto& entry) { return entry.first == variable->getName(); });
    }
    return state;
}

void CTarvenoxDlg::reloadPreview() {
    reloadDue_.reset();
    shownBesideTexts_ = editsBesideTexts();
    // Unloaded first, so the player lets go of the file and loads the new one.
    viewerControl.Movie("");
    viewerControl.Movie(app_.workingCopyPath());
}

CommandOutcome CTarvenoxDlg::rebuildPreview() {
    Report report = app_.save();
    built_.reset();
    if (!report.failed()) built_.emplace(app_.currentMovie(), app_.edits());
    // A save that failed, or a change it could not make, is told; the user can correct it.
    if (report.failed()) showReport(windows_, report);
    if (app_.savedBackgroundColor() >= 0) viewerControl.BackgroundColor(app_.savedBackgroundColor());
    if (!report.failed() && shownBesideTexts_ == editsBesideTexts()) {
        reloadDue_ = std::chrono::steady_clock::now() + reloadPause;
    } else {
        reloadPreview();
    }
    return report.failed() ? CommandOutcome::failed : CommandOutcome::done;
}

CommandOutcome CTarvenoxDlg::saveAs(std::string* saved) {
    if (app_.currentMovie().empty()) {
        windows_.messageBox(texts::caption(), texts::noTemplateSelected(), MessageIcon::information,
                            MessageButtons::ok);
        return CommandOutcome::failed;
    }
    std::vector<FileFilter> filters = {{texts::saveFilter(), {"*.SWF"}}};
    filters.push_back({texts::webPageFilter(), {"*.html"}});
    if (videoExport_) {
        filters.push_back({texts::mp4Filter(), {"*.mp4"}});
        filters.push_back({texts::gifFilter(), {"*.gif"}});
    }
    const std::string title = templateTitle(app_, app_.currentMovie());
    // An opened movie's result is proposed beside it, under another name: the movie
    // itself is only replaced when the user picks it and agrees.
    const std::string proposed = openedMovie_.empty()
                                     ? proposedFileName(title.empty() ? app_.movieBaseName() : title, "swf")
                                     : editedMoviePath(openedMovie_);
    auto path = windows_.saveFile(texts::saveTitle(), filters, "swf", true, proposed);
    if (!path) return CommandOutcome::cancelled;
    if (videoExport_ && isVideoChoice(*path)) {
        const CommandOutcome outcome = saveVideo(*path);
        if (outcome == CommandOutcome::done && saved != nullptr) *saved = *path;
        return outcome;
    }
    // A page chosen: the movie is saved beside it under the same name, then the page.
    const auto pageMovie = pageMoviePath(*path);
    const bool webPage = pageMovie.has_value();
    if (webPage) path = pageMovie;
    // A movie whose save failed is not copied: the file would lack what the user chose.
    if (applyChanges(Rebuild::ifChanged) != CommandOutcome::done) return CommandOutcome::failed;
    if (const Report copied = app_.copyResultTo(*path); copied.failed()) {
        windows_.messageBox(texts::caption(), copied.reason(), MessageIcon::error, MessageButtons::ok);
        return CommandOutcome::failed;
    }
    if (EditHistory* edits = history()) edits->markSaved();
    if (saved != nullptr) *saved = *path;
    if (webPage) showReport(windows_, writeWebPage(*path));
    return CommandOutcome::done;
}

CommandOutcome CTarvenoxDlg::saveVideo(const std::string& path) {
    if (applyChanges(Rebuild::ifChanged) != CommandOutcome::done) return CommandOutcome::failed;
    logPrint("video: %s\n", path.c_str());
    if (const Report written = exportVideo(path); written.failed()) {
        const std::string why = written.reason().empty() ? written.text() : written.reason();
        logPrint("video not written: %s\n", why.c_str());
        windows_.messageBox(texts::caption(), texts::videoFailed() + "\n" + why, MessageIcon::error,
                            MessageButtons::ok);
        return CommandOutcome::failed;
    }
    // The edits stay unsaved: a video cannot be opened again to go on with them.
    return CommandOutcome::done;
}

Report CTarvenoxDlg::exportVideo(const std::string& path) {
    std::future<Report> written = std::async(std::launch::async, videoExport_, app_.workingCopyPath(), path);
    // A render takes seconds to a minute. The window system is served meanwhile (the page's
    // folder listings, a reloaded page brought up to date); what the user does waits.
    while (written.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        UiEvent event = windows_.nextEventUntil(std::chrono::steady_clock::now() + videoPoll);
        if (event.kind == UiEvent::Kind::idle) continue;
        const bool end = event.kind == UiEvent::Kind::end;
        events_.hold(std::move(event));
        // Nothing comes after the end: the program ends once the video is done.
        if (end) break;
    }
    return written.get();
}

CommandOutcome CTarvenoxDlg::chooseColor(const std::string& variable) {
    if (!customColors_) customColors_.emplace().fill(0xFFFFFF);
    const bool background = variable == "_root.backgroundColor";
    // The dialog starts at the colour the variable holds now.
    std::optional<Rgb> initial;
    if (background && !app_.currentMovie().empty()) {
        initial = app_.currentBackgroundColor();
    } else if (auto text = skinControl.GetVariable(variable)) {
        initial = parseColor(*text);
    }
    auto chosen = windows_.chooseColor(initial, *customColors_);
    if (!chosen) {
        logPrint("Color: abort\n");
        return CommandOutcome::cancelled;
    }
    const Rgb color = *chosen & 0xFFFFFF;
    const std::string text = std::to_string(color);
    logPrint("Color: %s\n", text.c_str());
    skinControl.SetVariable(variable, text);
    if (background) {
        app_.setBackground(color);
        // The preview takes the colour now; the movie rebuilt with it follows on the apply.
        if (!app_.currentMovie().empty()) viewerControl.BackgroundColor(color);
    } else {
        app_.setVariableText(variable, text);
        if (variable.starts_with("_root.")) app_.setVariableText(variable.substr(6), text);
    }
    return recordStep() ? CommandOutcome::done : CommandOutcome::unchanged;
}

CommandOutcome CTarvenoxDlg::chooseFont(const std::string& templateFont) {
    auto choice = windows_.chooseFont(systemFontEngine().faceNames(), 10);
    if (!choice) return CommandOutcome::cancelled;
    logPrint("font: %s, point: %i, bold: %i, italic: %i\n", choice->face.c_str(), choice->pointTenths,
             choice->weight == 700 ? 1 : 0, choice->italic ? 1 : 0);
    // The face is made into outlines once, now: one that cannot be used is refused here
    // and never comes back on an apply. The replacement takes the face's regular
    // outlines, whatever weight and slant the user picked.
    if (const Report added = app_.chooseFont(templateFont, choice->face); added.failed()) {
        windows_.messageBox(texts::caption(), added.messages().front().text, MessageIcon::information,
                            MessageButtons::ok);
        return CommandOutcome::failed;
    }
    skinControl.SetVariable("_root.widths", FontMetrics(choice->face, 100, false).widthsAsHex());
    return recordStep() ? CommandOutcome::done : CommandOutcome::unchanged;
}

CommandOutcome CTarvenoxDlg::choosePicture(const std::string& exportName) {
    auto path = windows_.openFile(texts::pictureTitle(), {{texts::pictureFilter(), {"*.png", "*.jpg", "*.jpeg"}}});
    if (!path) return CommandOutcome::cancelled;
    const char* extension = pictureKind(*path) == PictureKind::Png ? "png" : "jpg";
    return chooseFile(*path, app_.choosePicture(exportName, *path), "image", extension);
}

CommandOutcome CTarvenoxDlg::chooseSound(const std::string& exportName) {
    auto path = windows_.openFile(texts::soundTitle(), {{texts::soundFilter(), {"*.mp3"}}});
    if (!path) return CommandOutcome::cancelled;
    return chooseFile(*path, app_.chooseSound(exportName, *path), "mp3", "mp3");
}

void CTarvenoxDlg::showFullscreen() {
    // The fullscreen view plays the working copy from its start: the preview's copy of it
    // is made anew first.
    if (reloadDue_) reloadPreview();
    viewerControl.Movie("");
    const std::string path = app_.workingCopyPath();
    CFullscreenDlg viewer(path, app_.savedBackgroundColor(), app_.workingFolder(), windows_, events_);
    viewer.DoModal();
    viewerControl.Movie(path);
}

void CTarvenoxDlg::runFromCd(const std::string& program) {
    // The movie names the program as a path on the CD, with backslashes.
    std::string relative = program;
    for (char& c : relative) {
        if (c == '\\') c = '/';
    }
    // Only a program that really lies on the CD runs: a path that leads out of the
    // folder ("..", a link) is refused there, and the next folder is tried.
    auto run = [&](const std::string& root) {
        const ProgramLookup program = findProgramInside(root, relative);
        if (program.outcome == ProgramLookup::Outcome::refused) {
            logPrint("refused exec(%s): leads to %s, outside %s\n", (root + relative).c_str(), program.path.c_str(),
                     root.empty() ? "the current folder" : root.c_str());
        }
        if (program.outcome != ProgramLookup::Outcome::found) return false;
        logPrint("exec(%s)\n", program.path.c_str());
        windows_.runProgram(program.path);
        return true;
    };
    if (run(cdPath_)) return;
    for (std::string root : windows_.opticalMedia()) {
        if (root.empty() || root.back() != '/') root += '/';
        if (run(root)) return;
    }
    windows_.messageBox(texts::caption(), texts::programNotFound(), MessageIcon::information, MessageButtons::ok);
}

}  // namespace tarvenox
