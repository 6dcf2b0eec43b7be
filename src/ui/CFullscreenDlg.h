// The fullscreen viewer: a finished movie as large as the screen allows, on its
// background colour, with a round close button in the bottom-right corner.
#pragma once

#include <string>

#include "ui/CShockwaveFlash.h"
#include "ui/UiEvents.h"
#include "ui/WindowSystem.h"

namespace tarvenox {

class CFullscreenDlg {
public:
    // The movie to show, its background colour (0xRRGGBB), and the working folder that
    // holds the close button's movie "button.swf".
    CFullscreenDlg(std::string moviePath, Rgb backgroundColor, std::string workingFolder, WindowSystem& windows,
                   UiEvents& events);

    // Shows the viewer until the button's movie sends "close", the user presses Escape,
    // or the program must end (that event is passed on to the main window). Returns 0.
    int DoModal();

    bool OnInitDialog();

private:
    std::string moviePath_;
    Rgb backgroundColor_;
    std::string workingFolder_;
    WindowSystem& windows_;
    UiEvents& events_;
    CShockwaveFlash movieControl;
    CShockwaveFlash buttonControl;
};

}  // namespace tarvenox
