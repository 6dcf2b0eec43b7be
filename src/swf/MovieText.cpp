// The encoding of the texts inside a movie.
#include "swf/MovieText.h"

#include "common/Cp1252.h"

namespace tarvenox {

MovieTextEncoding movieTextEncoding(std::uint8_t swfVersion) {
    return swfVersion >= 6 ? MovieTextEncoding::Utf8 : MovieTextEncoding::Windows1252;
}

std::string toMovieText(std::string_view productText, MovieTextEncoding encoding) {
    if (encoding == MovieTextEncoding::Utf8) return cp1252ToUtf8(productText);
    return std::string(productText);
}

std::string fromMovieText(std::string_view movieText, MovieTextEncoding encoding) {
    if (encoding == MovieTextEncoding::Utf8) return utf8ToCp1252(movieText);
    return std::string(movieText);
}

std::string displayMovieText(std::string_view movieText, MovieTextEncoding encoding) {
    // A Unicode movie whose text is not valid UTF-8 was written by a tool that ignored
    // the rule; its bytes are most likely the code page's.
    if (encoding == MovieTextEncoding::Utf8 && isValidUtf8(movieText)) return std::string(movieText);
    return cp1252ToUtf8(movieText);
}

}  // namespace tarvenox
