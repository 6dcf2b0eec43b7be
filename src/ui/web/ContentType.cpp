// The Content-Type the page server gives a file, from its extension.
#include "ui/web/ContentType.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace tarvenox::web {

std::string contentTypeFor(std::string_view fileName, std::string_view textCharset) {
    static constexpr std::pair<std::string_view, std::string_view> types[] = {
        {"swf", "application/x-shockwave-flash"},
        {"js", "text/javascript; charset=utf-8"},
        {"mjs", "text/javascript; charset=utf-8"},
        {"wasm", "application/wasm"},
        {"html", "text/html; charset=utf-8"},
        {"css", "text/css; charset=utf-8"},
        {"png", "image/png"},
        {"jpg", "image/jpeg"},
        {"jpeg", "image/jpeg"},
        {"svg", "image/svg+xml"},
        {"json", "application/json"},
        {"map", "application/json"},
        {"mp3", "audio/mpeg"},
        {"woff2", "font/woff2"},
    };
    std::size_t dot = fileName.rfind('.');
    std::size_t slash = fileName.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return "application/octet-stream";
    }
    std::string extension(fileName.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "txt") return "text/plain; charset=" + std::string(textCharset);
    for (const auto& [known, type] : types) {
        if (extension == known) return std::string(type);
    }
    return "application/octet-stream";
}

}  // namespace tarvenox::web
