// The host's answer to the page's "listFolder" request.
#include "ui/web/FolderListing.h"

#include <fnmatch.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "common/Cp1252.h"
#include "common/SystemReason.h"
#include "common/Texts.h"

namespace tarvenox::web {
namespace fs = std::filesystem;

namespace {

std::vector<std::string> patternsOf(const nlohmann::json& request) {
    std::vector<std::string> patterns;
    if (!request.contains("patterns")) return patterns;
    const auto& list = request["patterns"];
    if (!list.is_array()) throw std::runtime_error("listFolder: patterns must be an array of texts");
    for (const auto& pattern : list) {
        if (!pattern.is_string()) throw std::runtime_error("listFolder: patterns must be an array of texts");
        patterns.push_back(pattern.get<std::string>());
    }
    return patterns;
}

bool matches(const std::string& name, const std::vector<std::string>& patterns) {
    if (patterns.empty()) return true;
    return std::any_of(patterns.begin(), patterns.end(), [&name](const std::string& pattern) {
        return ::fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0;
    });
}

}  // namespace

nlohmann::json listFolder(const nlohmann::json& request, const std::string& home) {
    if (!request.contains("path") || !request["path"].is_string()) {
        throw std::runtime_error("listFolder: path must be a text");
    }
    std::string asked = request["path"];
    if (asked.empty()) asked = home;
    if (!fs::path(asked).is_absolute()) throw std::runtime_error("listFolder: " + asked + " is not an absolute path");
    std::vector<std::string> patterns = patternsOf(request);

    std::error_code error;
    fs::path folder = fs::weakly_canonical(asked, error);
    if (error || !fs::is_directory(folder, error)) throw std::runtime_error(asked + ": " + text("file.noSuchFolder"));
    std::vector<std::string> folders;
    std::vector<std::pair<std::string, std::uintmax_t>> files;
    fs::directory_iterator entries(folder, fs::directory_options::skip_permission_denied, error);
    if (error) throw std::runtime_error(asked + ": " + systemReason(error));
    for (const fs::directory_entry& entry : entries) {
        std::string name = entry.path().filename().string();
        // Hidden entries are left out, and so are names that JSON cannot carry: a name
        // that is not UTF-8 could not be named back by the page.
        if (name.empty() || name.front() == '.' || !isValidUtf8(name)) continue;
        std::error_code ignored;
        if (entry.is_directory(ignored)) {
            folders.push_back(name);
        } else if (entry.is_regular_file(ignored) && matches(name, patterns)) {
            files.emplace_back(name, entry.file_size(ignored));
        }
    }
    std::sort(folders.begin(), folders.end());
    std::sort(files.begin(), files.end());

    nlohmann::json listing{
        {"path", folder.string()},
        {"parent", folder.has_relative_path() ? nlohmann::json(folder.parent_path().string()) : nlohmann::json()},
        {"home", home},
        {"folders", folders},
        {"files", nlohmann::json::array()}};
    for (const auto& [name, size] : files) listing["files"].push_back({{"name", name}, {"size", size}});
    return listing;
}

}  // namespace tarvenox::web
