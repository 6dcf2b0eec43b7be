// A folder whose files the page server may serve, and nothing outside it.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace tarvenox::web {

class FileRoot {
public:
    // The folder is resolved once (it may itself be reached through a symbolic link);
    // a folder that does not exist serves nothing.
    explicit FileRoot(const std::filesystem::path& folder);

    // The real path of the regular file at the relative path ("swf/intro.swf"), or
    // nullopt when there is none or it lies outside the folder: a "." or ".." segment,
    // an absolute path, a NUL, or a symbolic link that leads out are all refused.
    std::optional<std::filesystem::path> resolve(std::string_view relativePath) const;

private:
    std::filesystem::path root_;  // canonical; empty when the folder does not exist
};

}  // namespace tarvenox::web
