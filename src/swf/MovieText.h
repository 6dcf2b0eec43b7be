// The encoding of the texts inside a movie. Players read the strings of a movie of
// version 6 or later (action strings, text-field texts, font and export names) as UTF-8,
// and its font codes as Unicode; older movies' strings as bytes of the system's code
// page, which for this product is Windows-1252, the encoding of its own texts. Texts are
// converted here, when they cross into or out of a movie, and nowhere else.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvenox {

enum class MovieTextEncoding { Windows1252, Utf8 };

// The encoding a player uses for the strings of a movie of this SWF version.
MovieTextEncoding movieTextEncoding(std::uint8_t swfVersion);

// A product text (Windows-1252) as the movie stores it.
std::string toMovieText(std::string_view productText, MovieTextEncoding encoding);

// A text of the movie as a product text. A character that Windows-1252 lacks, and a byte
// that is not UTF-8 in a Unicode movie, become '?'.
std::string fromMovieText(std::string_view movieText, MovieTextEncoding encoding);

// A text of the movie as UTF-8 for display, every character kept.
std::string displayMovieText(std::string_view movieText, MovieTextEncoding encoding);

}  // namespace tarvenox
