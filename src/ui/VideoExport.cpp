// The video formats of the save dialog.
#include "ui/VideoExport.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace tarvenox {

bool isVideoChoice(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".mp4" || extension == ".gif";
}

}  // namespace tarvenox
