// The proposed name of a saved movie.
#include "ui/SaveName.h"

#include <filesystem>
#include <string_view>

#include "common/Cp1252.h"

namespace tarvenox {

std::string proposedFileName(const std::string& title, const std::string& extension) {
    constexpr std::string_view forbidden = "/\\:*?\"<>|";
    std::string name;
    for (char c : title) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '+') {
            name += ' ';
        } else if (byte < 0x20 || byte == 0x7F || forbidden.find(c) != std::string_view::npos) {
            name += '_';
        } else {
            name += c;
        }
    }
    const std::size_t first = name.find_first_not_of(" .");
    name = first == std::string::npos ? "" : name.substr(first, name.find_last_not_of(" .") - first + 1);
    if (name.empty()) name = "movie";
    return cp1252ToUtf8(name) + "." + extension;
}

std::string editedMoviePath(const std::string& moviePath) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path path = fs::absolute(moviePath, error);
    if (error) path = moviePath;
    return (path.parent_path() / (path.stem().string() + "-edited.swf")).string();
}

}  // namespace tarvenox
