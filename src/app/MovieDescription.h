// What a movie holds, as JSON: the header and every top-level tag with what the
// engine reads from it. Used by `tarvenox inspect`.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "swf/MovieText.h"

namespace tarvenox {

class SWFFile;
class SWFTag;

// Strings taken from the movie, in the movie's text encoding, come out as UTF-8.
nlohmann::json describeMovie(SWFFile& movie, const std::string& path);
nlohmann::json describeTag(SWFTag& tag, MovieTextEncoding encoding);

// The same description as readable text, one line per tag.
std::string formatMovieDescription(const nlohmann::json& description);

}  // namespace tarvenox
