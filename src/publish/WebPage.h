// A web page beside a saved movie that plays it in a copy of the Ruffle player.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/Report.h"

namespace tarvenox {

struct WebPageMovie {
    std::string fileName;   // the movie's file name, relative to the page
    std::string filesName;  // the folder of the player's files, relative to the page
    int width = 0;          // the stage in pixels
    int height = 0;
    std::int32_t background = 0xFFFFFF;
};

// The page: the stage scaled to the window with its aspect ratio kept, on the movie's
// background colour, the player loaded from filesName only, and a line with a link to
// the movie for browsers without JavaScript.
std::string webPageHtml(const WebPageMovie& movie);

// Text for an HTML element's content or a quoted attribute's value.
std::string htmlEscaped(std::string_view text);

// Where a save to output writes its movie: with html, a page's name (NAME.html) stands
// for the movie NAME.swf beside it, as in the interactive save dialog, so that the page
// never replaces the movie it plays; otherwise output itself.
std::string movieOutput(const std::string& output, bool html);

// Writes OUT.html beside the movie OUT.swf (any extension is replaced) and copies the
// player's files into OUT_files/, taking the size and colour from the saved movie.
// Fails, with one line, when the player is not installed or a file cannot be written.
Report writeWebPage(const std::string& moviePath);

}  // namespace tarvenox
