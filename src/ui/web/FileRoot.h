// A folder whose files the page server may serve, and nothing outside it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tarvenox::web {

class FileRoot {
public:
    // The folder may itself be reached through a symbolic link; it is resolved on each
    // request, so a folder made after the server started serves its files too.
    explicit FileRoot(std::filesystem::path folder) : folder_(std::move(folder)) {}

    // The real path of the regular file at the relative path ("swf/intro.swf"), or
    // nullopt when there is none or it lies outside the folder: a "." or ".." segment,
    // an absolute path, a NUL, or a symbolic link that leads out are all refused.
    std::optional<std::filesystem::path> resolve(std::string_view relativePath) const;

private:
    std::filesystem::path folder_;
};

// Whether two paths name the same file: the host names a file by the working folder's
// path, a request by its real path.
bool sameFile(const std::string& a, const std::string& b);

}  // namespace tarvenox::web
