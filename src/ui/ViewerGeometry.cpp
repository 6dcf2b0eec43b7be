// Where the players go on the screen.
#include "ui/ViewerGeometry.h"

namespace tarvenox {

namespace {

// Each edge rounded half up by cutting off the fraction. The edges stay within the
// screen's size (or the scaled 800 x 600 box), so they fit an int.
int roundEdge(double value) { return static_cast<int>(value + 0.5); }

PixelRect rounded(double left, double top, double right, double bottom) {
    return {roundEdge(left), roundEdge(top), roundEdge(right), roundEdge(bottom)};
}

}  // namespace

PixelRect fitViewer(const PixelRect& designBox, ScreenSize screen, std::int32_t width, std::int32_t height) {
    const double sx = screen.width * 0.00125;
    const double sy = screen.height * 0.0016666666666666668;
    double left = designBox.left * sx;
    double top = designBox.top * sy;
    double right = designBox.right * sx;
    double bottom = designBox.bottom * sy;
    const double boxWidth = right - left;
    const double boxHeight = bottom - top;
    if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0) {
        return rounded(left, top, right, bottom);
    }
    const double w = width;
    const double h = height;
    if (boxWidth / boxHeight < w / h) {
        // The box is narrower than the movie: full width, the height centred.
        const double newHeight = boxWidth / w * h;
        top += (boxHeight - newHeight) * 0.5;
        bottom = top + newHeight;
    } else {
        const double newWidth = boxHeight / h * w;
        left += (boxWidth - newWidth) * 0.5;
        right = left + newWidth;
    }
    return rounded(left, top, right, bottom);
}

PixelRect fitFullscreen(ScreenSize screen, std::int32_t width, std::int32_t height) {
    const double cx = screen.width;
    const double cy = screen.height;
    if (width <= 0 || height <= 0 || cx <= 0 || cy <= 0) return {0, 0, screen.width, screen.height};
    const double w = width;
    const double h = height;
    if (cx / cy >= w / h) {
        const double newWidth = cy / h * w;
        const double left = (cx - newWidth) * 0.5;
        return rounded(left, 0, left + newWidth, cy);
    }
    const double newHeight = cx / w * h;
    const double top = (cy - newHeight) * 0.5;
    return rounded(0, top, cx, top + newHeight);
}

PixelRect closeButtonRect(ScreenSize screen) {
    const int buttonWidth = static_cast<int>(screen.width * 0.14285714285714285);
    const int buttonHeight = static_cast<int>(screen.height * 0.1);
    return {screen.width - buttonWidth, screen.height - buttonHeight, screen.width, screen.height};
}

}  // namespace tarvenox
