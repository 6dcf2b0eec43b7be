// Paths of files in the working folder and the page server's URLs for them, both ways.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvenox::web {

// Which server a movie is played from: the page's (the installation's own interface
// movies) or the templates' (a template, which must reach nothing of the page's).
enum class MovieOrigin { page, templates };

class WorkingFolderUrls {
public:
    // The working folder (with or without its trailing "/"), the URL path the page's
    // server serves it under ("/s/SECRET/work/") and the address of the templates'
    // server ("http://127.0.0.1:PORT/s/KEY/"; "" for none).
    WorkingFolderUrls(std::string workingFolder, std::string urlPrefix, std::string templateAddress = "");

    // The URL of a file in the working folder, each name percent-encoded, with a query
    // that differs on every call ("?v=7"), so a movie loaded again is fetched anew and
    // never taken from a cache. "" for "" (the player unloads). nullopt for a path
    // outside the working folder or with a "." or ".." segment: it cannot be served; on
    // the templates' server also for any file but a template movie (isTemplateMovie).
    std::optional<std::string> toUrl(std::string_view path, MovieOrigin origin = MovieOrigin::page);

    // The templates' server's address, for the page's thumbnails.
    const std::string& templateAddress() const { return templates_; }

    // The path of the file a URL of toUrl names (query and fragment ignored); nullopt
    // for any other URL.
    std::optional<std::string> toPath(std::string_view url) const;

private:
    std::string folder_;  // with a trailing "/"
    std::string prefix_;
    std::string templates_;
    std::uint64_t loads_ = 0;
};

}  // namespace tarvenox::web
