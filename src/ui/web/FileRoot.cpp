// A folder whose files the page server may serve, and nothing outside it.
#include "ui/web/FileRoot.h"

#include <algorithm>
#include <system_error>

namespace tarvenox::web {
namespace fs = std::filesystem;

std::optional<fs::path> FileRoot::resolve(std::string_view relativePath) const {
    if (relativePath.empty() || relativePath.front() == '/' || relativePath.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    fs::path relative(relativePath);
    for (const fs::path& part : relative) {
        if (part == "." || part == "..") return std::nullopt;
    }
    // canonical() follows every symbolic link, so a link inside the folder that points
    // out of it resolves to a path that fails the containment check below.
    std::error_code error;
    fs::path root = fs::canonical(folder_, error);
    if (error) return std::nullopt;
    fs::path real = fs::canonical(root / relative, error);
    if (error) return std::nullopt;
    auto [rootEnd, realAt] = std::mismatch(root.begin(), root.end(), real.begin(), real.end());
    if (rootEnd != root.end() || realAt == real.end()) return std::nullopt;
    if (!fs::is_regular_file(real, error)) return std::nullopt;
    return real;
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return a == b || std::filesystem::equivalent(a, b, error);
}

}  // namespace tarvenox::web
