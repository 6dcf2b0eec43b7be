// The program's own files beside the executable.
#include "publish/ProgramFiles.h"

#include <filesystem>
#include <system_error>

#include "common/ShareFolder.h"

namespace tarvenox {

namespace fs = std::filesystem;

namespace {

bool isFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

}  // namespace

std::optional<std::string> programFilesFolder() { return shareFolderHolding("web/index.html"); }

ProgramFiles programFilesIn(const std::string& folder) {
    const fs::path root(folder);
    return {(root / "web").string(), (root / "ruffle").string(), (root / "help").string(),
            (root / "render" / "render.mjs").string()};
}

bool playerInstalled(const ProgramFiles& files) { return isFile(fs::path(files.player) / "ruffle.js"); }

}  // namespace tarvenox
