// Pictures of movies as a person sees them: played in Ruffle in headless Chromium by the
// program's renderer (share/tarvenox/render), a node script run as a child process.
#pragma once

#include <string>
#include <vector>

namespace tarvenox {

struct MoviePicture {
    std::string movie;
    std::string png;
    // The frame to draw, reached by time at the movie's frame rate; 0 for the moment the
    // player check looks at (1.5 s after the movie has loaded).
    int frame = 0;
    // The largest picture: the stage is scaled to fit with its proportions kept; 0 for
    // the stage's own size.
    int maxWidth = 0;
    int maxHeight = 0;
};

// Draws every movie in one run of the browser. Throws CommandError, with one line, when
// node, Chromium or the renderer is missing, a movie cannot be read, or the player fails.
void renderMoviePictures(const std::vector<MoviePicture>& pictures);

}  // namespace tarvenox
