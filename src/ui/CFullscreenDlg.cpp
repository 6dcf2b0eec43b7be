// The fullscreen viewer.
#include "ui/CFullscreenDlg.h"

#include "swf/MovieProbe.h"
#include "ui/ViewerGeometry.h"

namespace tarvenox {

CFullscreenDlg::CFullscreenDlg(std::string moviePath, Rgb backgroundColor, std::string workingFolder,
                               WindowSystem& windows, UiEvents& events)
    : moviePath_(std::move(moviePath)),
      backgroundColor_(backgroundColor),
      workingFolder_(std::move(workingFolder)),
      windows_(windows),
      events_(events),
      movieControl(windows, Player::fullscreenMovie),
      buttonControl(windows, Player::fullscreenButton) {}

int CFullscreenDlg::DoModal() {
    OnInitDialog();
    bool closed = false;
    while (!closed) {
        UiEvent event = events_.fresh();
        switch (event.kind) {
            case UiEvent::Kind::end:
                events_.hold(std::move(event));
                closed = true;
                break;
            case UiEvent::Kind::escape: closed = true; break;
            case UiEvent::Kind::idle:  // only the main window waits for a pause
                break;
            case UiEvent::Kind::fsCommand:
                if (event.player == Player::fullscreenButton) {
                    closed = event.command == "close";
                } else if (event.player == Player::skin) {
                    // The main window's commands wait until the viewer is closed.
                    events_.hold(std::move(event));
                }
                break;
        }
    }
    windows_.closeFullscreen();
    return 0;
}

bool CFullscreenDlg::OnInitDialog() {
    auto [width, height] = probeFrameSize(moviePath_).value_or(std::pair<std::int32_t, std::int32_t>{0, 0});
    const ScreenSize screen = windows_.screenSize();
    windows_.openFullscreen(backgroundColor_);

    movieControl.MoveWindow(fitFullscreen(screen, width, height));
    movieControl.BackgroundColor(backgroundColor_);
    movieControl.Scale("NoBorder");
    movieControl.Movie(moviePath_);

    buttonControl.BackgroundColor(backgroundColor_);
    buttonControl.Scale("ExactFit");
    buttonControl.MoveWindow(closeButtonRect(screen), PlayerShape::ellipse);
    buttonControl.Movie(workingFolder_ + "button.swf");
    buttonControl.ShowWindow();
    return true;
}

}  // namespace tarvenox
