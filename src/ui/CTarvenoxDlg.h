// The main dialog: the interface movie over the whole screen, the preview on top of it,
// and the commands the interface movie sends.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/Report.h"
#include "ui/CShockwaveFlash.h"
#include "ui/UiEvents.h"
#include "ui/WindowSystem.h"

namespace tarvenox {

class EditSession;

class CTarvenoxDlg {
public:
    // The preview area on the 800 x 600 screen the interface movies are drawn for.
    static constexpr PixelRect viewerBox{400, 212, 701, 480};

    // app is the program's edit session (paths, the selected movie, its changes); cdPath
    // the product CD's folder ("" for none), ending in "/".
    CTarvenoxDlg(EditSession& app, std::string cdPath, WindowSystem& windows);

    // Runs the dialog until it ends: by "clicked" with "quit", a failed check at its
    // start, or the window system's end. Returns 0.
    int DoModal();

    // -- the parts of the dialog, public for the tests and the fullscreen viewer --
    bool OnInitDialog();
    void OnFSCommand(const std::string& command, const std::string& args);
    void placeViewer(std::int32_t width, std::int32_t height);
    bool ended() const { return ended_; }

    // The handlers of the interface movie's commands.
    void selectMovie(const std::string& name);
    void loadPreview();
    void pushVariables();
    void collectVariables();
    // False when nothing was applied or the save failed (the user has been told).
    bool applyChanges();
    void saveAs();
    void chooseColor(const std::string& variable);
    void chooseFont(const std::string& templateFont);
    void choosePicture(const std::string& exportName);
    void chooseSound(const std::string& exportName);
    void showFullscreen();
    void runFromCd(const std::string& program);

    // Writes a web page beside a saved movie that plays it; the save dialog offers it
    // when set. The report fails when the page cannot be written.
    using WebPagePublisher = std::function<Report(const std::string& moviePath)>;
    void setWebPagePublisher(WebPagePublisher publisher) { webPagePublisher_ = std::move(publisher); }

    // The custom colours of the colour dialog; none until it is first used.
    const std::optional<CustomColors>& customColors() const { return customColors_; }

private:
    void EndDialog();
    void showFlashMissingMessage();

    EditSession& app_;
    std::string cdPath_;
    WindowSystem& windows_;
    UiEvents events_;
    CShockwaveFlash skinControl;
    CShockwaveFlash viewerControl;
    std::optional<CustomColors> customColors_;
    WebPagePublisher webPagePublisher_;
    bool ended_ = false;
};

}  // namespace tarvenox
