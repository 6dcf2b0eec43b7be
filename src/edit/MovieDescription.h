// What a movie holds, as JSON: the header and every top-level tag with what the
// engine reads from it. Used by `tarvenox inspect`.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "common/Report.h"
#include "swf/MovieText.h"

namespace tarvenox {

class MovieHeader;
class SWFTag;

// Strings taken from the movie, in the movie's text encoding, come out as UTF-8.
// The file, whether it was read completely, its header and background colour.
nlohmann::json describeMovieHeader(const MovieHeader& header, bool endTagMissing, const Report& read,
                                   const std::string& path);
nlohmann::json describeTag(const SWFTag& tag, MovieTextEncoding encoding);

// The whole description of the movie at path, as one JSON document ({header fields...,
// "tags": [...]}) or as readable text with one line per tag. The movie is read record by
// record, reading only what it says of a tag (at most 4 MiB of a body), and no tag is
// kept, so memory stays the same however large the movie. Fails when not even the header
// can be read (nothing is written then), and after writing what could be read when the
// movie is incomplete.
Report writeMovieDescription(const std::string& path, std::ostream& out, bool asJson);

}  // namespace tarvenox
