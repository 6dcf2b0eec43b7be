// The Content-Type the page server gives a file, from its extension.
#pragma once

#include <string>
#include <string_view>

namespace tarvenox::web {

// The media type for the file name's extension (ignoring case), application/octet-stream
// for any other. Texts (.txt) get the given charset: the working folder's texts are
// Windows-1252, the page's own are UTF-8.
std::string contentTypeFor(std::string_view fileName, std::string_view textCharset = "utf-8");

}  // namespace tarvenox::web
