// Percent-encoding of bytes for URLs and for the variables a movie loads.
#pragma once

#include <string>
#include <string_view>

namespace tarvenox {

// The bytes an encoding leaves as they are besides the ASCII letters and digits, and
// the case of the hex digits of the others.
struct PercentEncoding {
    std::string_view kept;
    bool lowercaseHex = false;
};

// The unreserved characters of URLs, hex digits in capitals: what loadVariables decodes,
// and a file name in a relative URL of a saved web page.
inline constexpr PercentEncoding unreservedCharacters{"-_.~"};
// One name of a path in the page server's URLs: "$(),;" stay as well and the hex digits
// are small letters, the form the server has always written these URLs in.
inline constexpr PercentEncoding serverPathName{"$(),-.;_~", true};

// Every byte of text but those the encoding keeps as "%XY".
std::string percentEncoded(std::string_view text, PercentEncoding encoding = unreservedCharacters);

}  // namespace tarvenox
