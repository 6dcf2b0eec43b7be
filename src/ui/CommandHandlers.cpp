// The handlers of the interface movie's commands: choosing a template, colours, fonts,
// pictures and music, applying and saving, the fullscreen view and programs of the CD.
#include <string>
#include <vector>

#include "common/Log.h"
#include "common/Report.h"
#include "edit/Customisation.h"
#include "edit/EditSession.h"
#include "font/FontEngine.h"
#include "font/FontMetrics.h"
#include "swf/SWFFile.h"
#include "ui/CFullscreenDlg.h"
#include "ui/CTarvenoxDlg.h"
#include "ui/DialogTexts.h"
#include "ui/ProgramRun.h"
#include "ui/WebPageName.h"

namespace tarvenox {

namespace {

// Shows each message of a report in the box its kind asks for.
void showReport(WindowSystem& windows, const Report& report) {
    for (const UserMessage& message : report.messages()) {
        switch (message.kind) {
            case MessageKind::Information:
                windows.messageBox(texts::caption, message.text, MessageIcon::information, MessageButtons::ok);
                break;
            case MessageKind::Error:
                windows.messageBox(texts::caption, message.text, MessageIcon::error, MessageButtons::ok);
                break;
            case MessageKind::OkCancel:
                windows.messageBox(texts::caption, message.text, MessageIcon::none, MessageButtons::okCancel);
                break;
        }
    }
}

// A movie's text with each carriage return and each line feed as one line feed, the way
// the movie's text fields break lines.
std::string withLineFeeds(const std::string& text) {
    std::string result = text;
    for (char& c : result) {
        if (c == '\r') c = '\n';
    }
    return result;
}

}  // namespace

void CTarvenoxDlg::selectMovie(const std::string& name) {
    app_.selectMovie(name);
    loadPreview();
    pushVariables();
    skinControl.SetVariable("_root.editLoaded", "1");
}

void CTarvenoxDlg::loadPreview() {
    const std::string path = app_.workingCopyPath();
    auto [width, height] = probeFrameSize(path).value_or(std::pair<std::int32_t, std::int32_t>{0, 0});
    placeViewer(width, height);
    viewerControl.Movie(path);
    viewerControl.BackgroundColor(app_.savedBackgroundColor);
    skinControl.SetVariable("_root.backgroundColor", std::to_string(app_.savedBackgroundColor));
}

void CTarvenoxDlg::pushVariables() {
    for (const auto& variable : app_.actionVariables) {
        skinControl.SetVariable(variable->getName(), variable->getValueText());
    }
}

void CTarvenoxDlg::collectVariables() {
    std::vector<std::string> names;
    for (const auto& variable : app_.actionVariables) names.push_back(variable->getName());
    const std::vector<std::optional<std::string>> texts = skinControl.GetVariables(names);
    for (std::size_t i = 0; i < texts.size() && i < app_.actionVariables.size(); ++i) {
        // A value the interface movie could not be asked for (its page went away, or it
        // did not answer in time) keeps the one it had, instead of becoming empty.
        if (texts[i]) app_.actionVariables[i]->setValue(withLineFeeds(*texts[i]));
    }
}

bool CTarvenoxDlg::applyChanges() {
    // Before a template is chosen there is nothing to apply.
    if (app_.currentMovie.empty()) return false;
    collectVariables();
    Report report = saveMovie(app_);
    // A save that failed, or a change it could not make, is told; the user can correct it.
    if (report.failed()) showReport(windows_, report);
    if (app_.savedBackgroundColor >= 0) viewerControl.BackgroundColor(app_.savedBackgroundColor);
    // Unloaded first, so the player lets go of the file and loads the new one.
    viewerControl.Movie("");
    viewerControl.Movie(app_.workingCopyPath());
    return !report.failed();
}

void CTarvenoxDlg::saveAs() {
    std::vector<FileFilter> filters = {{texts::saveFilter, {"*.SWF"}}};
    if (webPagePublisher_) filters.push_back({texts::webPageFilter, {"*.html"}});
    auto path = windows_.saveFile(texts::saveTitle, filters, "swf", true);
    if (!path) return;
    // A page chosen: the movie is saved beside it under the same name, then the page.
    const auto pageMovie = webPagePublisher_ ? pageMoviePath(*path) : std::nullopt;
    const bool webPage = pageMovie.has_value();
    if (webPage) path = pageMovie;
    if (app_.currentMovie.empty()) {
        windows_.messageBox(texts::caption, texts::noTemplateSelected, MessageIcon::information, MessageButtons::ok);
        return;
    }
    // A movie whose save failed is not copied: the file would lack what the user chose.
    if (!applyChanges()) return;
    std::string error;
    if (!app_.copyResultTo(*path, &error)) {
        windows_.messageBox(texts::caption, error, MessageIcon::error, MessageButtons::ok);
        return;
    }
    if (webPage) showReport(windows_, webPagePublisher_(*path));
}

void CTarvenoxDlg::chooseColor(const std::string& variable) {
    if (!customColors_) customColors_.emplace().fill(0xFFFFFF);
    auto chosen = windows_.chooseColor(std::nullopt, *customColors_);
    if (!chosen) {
        logPrint("Color: abort\n");
        return;
    }
    const Rgb color = *chosen & 0xFFFFFF;
    const std::string text = std::to_string(color);
    logPrint("Color: %s\n", text.c_str());
    skinControl.SetVariable(variable, text);
    if (variable == "_root.backgroundColor") app_.currentBackgroundColor = color;
}

void CTarvenoxDlg::chooseFont(const std::string& templateFont) {
    auto choice = windows_.chooseFont(systemFontEngine().faceNames(), 10);
    if (!choice) return;
    logPrint("font: %s, point: %i, bold: %i, italic: %i\n", choice->face.c_str(), choice->pointTenths,
             choice->weight == 700 ? 1 : 0, choice->italic ? 1 : 0);
    // The replacement takes the face's regular outlines, whatever weight and slant the
    // user picked.
    recordFontReplacement(app_, templateFont, choice->face);
    skinControl.SetVariable("_root.widths", FontMetrics(choice->face, 100, false).widthsAsHex());
}

void CTarvenoxDlg::choosePicture(const std::string& exportName) {
    auto path = windows_.openFile(texts::pictureTitle, {{texts::pictureFilter, {"*.png", "*.jpg", "*.jpeg"}}});
    if (!path) return;
    showReport(windows_, recordPictureReplacement(app_, exportName, *path));
}

void CTarvenoxDlg::chooseSound(const std::string& exportName) {
    auto path = windows_.openFile(texts::soundTitle, {{texts::soundFilter, {"*.mp3"}}});
    if (!path) return;
    recordSoundReplacement(app_, exportName, *path);
}

void CTarvenoxDlg::showFullscreen() {
    viewerControl.Movie("");
    const std::string path = app_.workingCopyPath();
    CFullscreenDlg viewer(path, app_.savedBackgroundColor, app_.workingFolder, windows_, events_);
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
    windows_.messageBox(texts::caption, texts::programNotFound, MessageIcon::information, MessageButtons::ok);
}

}  // namespace tarvenox
