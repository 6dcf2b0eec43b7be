// Where the program's own shared files are.
#include "common/ShareFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tarvenox {

namespace fs = std::filesystem;

std::optional<std::string> shareFolderHolding(const std::string& marker, ShareSearch search) {
    std::error_code error;
    if (const char* given = std::getenv("TARVENOX_SHARE"); given != nullptr && *given != '\0') {
        if (fs::is_regular_file(fs::path(given) / marker, error)) return std::string(given);
        if (search == ShareSearch::givenFolderOnly) return std::nullopt;
    }
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error) return std::nullopt;
    const fs::path folder = executable.parent_path();
    for (const fs::path& candidate : {folder / "share" / "tarvenox", folder.parent_path() / "share" / "tarvenox"}) {
        if (fs::is_regular_file(candidate / marker, error)) return candidate.string();
    }
    return std::nullopt;
}

}  // namespace tarvenox
