// Where the preview, the fullscreen movie and its close button go on screens of
// several sizes.
#include "ui/ViewerGeometry.h"

#include <gtest/gtest.h>

#include "ui/CTarvenoxDlg.h"

namespace tarvenox {
namespace {

TEST(ViewerGeometry, PlacesThePreviewTheFullscreenMovieAndItsButton) {
    const PixelRect box = CTarvenoxDlg::viewerBox;
    struct Case {
        const char* what;
        PixelRect got, expected;
    } cases[] = {
        // The box's own ratio: scaled by 1.28 both ways.
        {"box on 1024 x 768", fitViewer(box, {1024, 768}, 301, 268), {512, 271, 897, 614}},
        // 1.6 across, 1.7067 down: the full scaled width, the height centred.
        {"box on 1280 x 1024", fitViewer(box, {1280, 1024}, 301, 268), {640, 376, 1122, 805}},
        // A movie wider than the box keeps the box's width.
        {"11000 x 8000 on 800 x 600", fitViewer(box, {800, 600}, 11000, 8000), {400, 237, 701, 455}},
        // A movie taller than the box keeps the box's height, centred across.
        {"a tall movie", fitViewer(box, {800, 600}, 100, 400), {517, 212, 584, 480}},
        {"a frame without a size fills the box", fitViewer(box, {800, 600}, 0, 400), {400, 212, 701, 480}},
        {"550 x 400 on 1024 x 768", fitFullscreen({1024, 768}, 550, 400), {0, 12, 1024, 756}},
        {"400 x 300 on 800 x 600", fitFullscreen({800, 600}, 400, 300), {0, 0, 800, 600}},
        {"a tall movie full screen", fitFullscreen({1024, 768}, 300, 400), {224, 0, 800, 768}},
        {"no size: the whole screen", fitFullscreen({1024, 768}, 550, -1), {0, 0, 1024, 768}},
        {"the button on 1024 x 768", closeButtonRect({1024, 768}), {878, 692, 1024, 768}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;
}

}  // namespace
}  // namespace tarvenox
