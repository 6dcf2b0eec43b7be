// The movie of a web page the user names.
#include "publish/WebPageName.h"

#include <cctype>
#include <string_view>

namespace tarvenox {

std::optional<std::string> pageMoviePath(const std::string& path) {
    constexpr std::string_view page = ".html";
    if (path.size() < page.size()) return std::nullopt;
    for (std::size_t i = 0; i < page.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(path[path.size() - page.size() + i])) != page[i]) {
            return std::nullopt;
        }
    }
    return path.substr(0, path.size() - page.size()) + ".swf";
}

}  // namespace tarvenox
