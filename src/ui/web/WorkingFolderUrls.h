// Paths of files in the working folder and the page server's URLs for them, both ways.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvenox::web {

class WorkingFolderUrls {
public:
    // The working folder (with or without its trailing "/") and the URL path the server
    // serves it under ("/s/SECRET/work/").
    WorkingFolderUrls(std::string workingFolder, std::string urlPrefix);

    // The URL of a file in the working folder, each name percent-encoded, with a query
    // that differs on every call ("?v=7"), so a movie loaded again is fetched anew and
    // never taken from a cache. "" for "" (the player unloads). nullopt for a path
    // outside the working folder or with a "." or ".." segment: it cannot be served.
    std::optional<std::string> toUrl(std::string_view path);

    // The path of the file a URL of toUrl names (query and fragment ignored); nullopt
    // for any other URL.
    std::optional<std::string> toPath(std::string_view url) const;

private:
    std::string folder_;  // with a trailing "/"
    std::string prefix_;
    std::uint64_t loads_ = 0;
};

}  // namespace tarvenox::web
