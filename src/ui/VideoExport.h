// Saving the edited movie as a video. Writing one plays the movie in a browser and
// encodes it, which the application layer owns: it hands the main dialog a function that
// does it.
#pragma once

#include <functional>
#include <string>

#include "common/Report.h"

namespace tarvenox {

// Writes a video of the movie at movie into video (paths UTF-8; the extension chooses the
// format): one pass of the main timeline at the movie's rate and stage size. Fails with
// one line, leaving no file at video, when it cannot. Runs on a thread of its own while
// the dialog waits, so it must not touch the window system or the edit session.
using VideoExport = std::function<Report(const std::string& movie, const std::string& video)>;

// Whether a path chosen in the save dialog names one of the video formats it offers
// beside the movie and its page: ".mp4" or ".gif", in any case.
bool isVideoChoice(const std::string& path);

}  // namespace tarvenox
