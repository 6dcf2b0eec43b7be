// The program's own files beside the executable.
#include "publish/ProgramFiles.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tarvenox {

namespace fs = std::filesystem;

namespace {

bool isFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

}  // namespace

std::optional<std::string> programFilesFolder() {
    if (const char* given = std::getenv("TARVENOX_SHARE"); given != nullptr && *given != '\0') {
        return isFile(fs::path(given) / "web" / "index.html") ? std::optional<std::string>(given) : std::nullopt;
    }
    std::error_code error;
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error) return std::nullopt;
    const fs::path folder = executable.parent_path();
    for (const fs::path& candidate : {folder / "share" / "tarvenox", folder.parent_path() / "share" / "tarvenox"}) {
        if (isFile(candidate / "web" / "index.html")) return candidate.string();
    }
    return std::nullopt;
}

ProgramFiles programFilesIn(const std::string& folder) {
    const fs::path root(folder);
    return {(root / "web").string(), (root / "ruffle").string(), (root / "help").string(),
            (root / "render" / "render.mjs").string()};
}

bool playerInstalled(const ProgramFiles& files) { return isFile(fs::path(files.player) / "ruffle.js"); }

}  // namespace tarvenox
