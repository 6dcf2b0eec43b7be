// The movie of a web page the user names: NAME.html is published as NAME.swf beside it.
#pragma once

#include <optional>
#include <string>

namespace tarvenox {

// For a path whose name ends in ".html" (in any case), the path of the movie the page
// plays: the same with ".swf" in place of ".html". nullopt for any other path, which
// names the movie itself. The save dialog and `save --html` both go by it, so that the
// page never takes the movie's name.
std::optional<std::string> pageMoviePath(const std::string& path);

}  // namespace tarvenox
