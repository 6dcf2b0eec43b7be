// Where the players go on the screen: the preview in its box of the interface movie, the
// fullscreen movie and its close button.
#pragma once

#include <cstdint>

#include "ui/WindowSystem.h"

namespace tarvenox {

// The preview for a movie frame of width x height (any unit; only the ratio counts):
// the box (given on an 800 x 600 screen) scaled to the screen, then narrowed in one
// direction to the movie's ratio and centred. A frame without a size fills the box.
PixelRect fitViewer(const PixelRect& designBox, ScreenSize screen, std::int32_t width, std::int32_t height);

// The fullscreen movie: as large as the screen allows with the movie's ratio, centred.
// A frame without a size takes the whole screen.
PixelRect fitFullscreen(ScreenSize screen, std::int32_t width, std::int32_t height);

// The fullscreen view's close button: a seventh of the screen's width and a tenth of
// its height, in the bottom-right corner.
PixelRect closeButtonRect(ScreenSize screen);

}  // namespace tarvenox
