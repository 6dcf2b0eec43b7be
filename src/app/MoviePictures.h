// Pictures and videos of movies as a person sees them: played in Ruffle in headless
// Chromium by the program's renderer (share/tarvenox/render), a node script run as a child
// process, on a virtual clock that steps one frame at a time.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tarvenox {

class SWFFile;

struct MoviePicture {
    std::string movie;
    std::string png;
    // The frame to draw (the first is 1); 0 for the moment the player check looks at
    // (1.5 s after the movie has loaded).
    int frame = 0;
    // The largest picture: the stage is scaled to fit with its proportions kept; 0 for
    // the stage's own size.
    int maxWidth = 0;
    int maxHeight = 0;
};

// Draws every movie in one run of the browser. Throws CommandError, with one line, when
// node, Chromium or the renderer is missing, a movie cannot be read, or the player fails.
void renderMoviePictures(const std::vector<MoviePicture>& pictures);

// The size in pixels the stage of movie is drawn at, fitted into maxWidth x maxHeight when
// both are given; even makes both sides even (as yuv420p video needs). Throws CommandError
// for a stage without size.
struct StageSize {
    int width = 0;
    int height = 0;
};
StageSize drawnStageSize(const SWFFile& movie, const std::string& name, int maxWidth, int maxHeight, bool even = false);

// Runs the renderer with the given jobs (JSON objects, see render/render.mjs), played by
// pages pages of one browser side by side; progress shows its progress line on standard
// error when that is a terminal. Returns a line per job: empty when it was written, else
// why not. Throws CommandError with the renderer's last line when it fails as a whole, or
// when node, Chromium or the renderer is missing.
std::vector<std::string> runRenderer(const std::vector<std::string>& jobs, int pages = 1, bool progress = false);

// The pages the renderer plays side by side for many movies: one a core.
int rendererPages();

// The program's path when it is on $PATH.
std::optional<std::string> programOnPath(const std::string& name);

}  // namespace tarvenox
