// Paths of files in the working folder and the page server's URLs for them, both ways.
#include "ui/web/WorkingFolderUrls.h"

#include <civetweb.h>

#include <vector>

#include "common/PercentEncoding.h"
#include "ui/web/TemplateFiles.h"

namespace tarvenox::web {
namespace {

// Calls f on each "/"-separated name; false as soon as f refuses one.
template <typename F>
bool eachName(std::string_view relative, F f) {
    std::size_t start = 0;
    while (true) {
        std::size_t end = relative.find('/', start);
        std::string_view name = relative.substr(start, end == std::string_view::npos ? end : end - start);
        if (name.empty() || name == "." || name == "..") return false;
        if (!f(name, end == std::string_view::npos)) return false;
        if (end == std::string_view::npos) return true;
        start = end + 1;
    }
}

}  // namespace

WorkingFolderUrls::WorkingFolderUrls(std::string workingFolder, std::string urlPrefix, std::string templateAddress)
    : folder_(std::move(workingFolder)), prefix_(std::move(urlPrefix)), templates_(std::move(templateAddress)) {
    if (folder_.empty() || folder_.back() != '/') folder_ += '/';
}

std::optional<std::string> WorkingFolderUrls::toUrl(std::string_view path, MovieOrigin origin) {
    if (path.empty()) return std::string();
    if (path.substr(0, folder_.size()) != folder_ || path.find('\0') != std::string_view::npos) return std::nullopt;
    std::string_view relative = path.substr(folder_.size());
    if (origin == MovieOrigin::templates && (templates_.empty() || !isTemplateMovie(relative))) return std::nullopt;
    std::string url = origin == MovieOrigin::templates ? templates_ : prefix_;
    bool named = eachName(relative, [&url](std::string_view name, bool last) {
        url += percentEncoded(name, serverPathName);
        if (!last) url += '/';
        return true;
    });
    if (!named) return std::nullopt;
    return url + "?v=" + std::to_string(++loads_);
}

std::optional<std::string> WorkingFolderUrls::toPath(std::string_view url) const {
    url = url.substr(0, url.find_first_of("?#"));
    if (url.substr(0, prefix_.size()) != prefix_) return std::nullopt;
    std::string_view encoded = url.substr(prefix_.size());
    std::vector<char> decoded(encoded.size() + 1);
    int length = mg_url_decode(encoded.data(), static_cast<int>(encoded.size()), decoded.data(),
                               static_cast<int>(decoded.size()), 0);
    if (length < 0) return std::nullopt;
    std::string relative(decoded.data(), static_cast<std::size_t>(length));
    if (relative.find('\0') != std::string::npos) return std::nullopt;
    if (!eachName(relative, [](std::string_view, bool) { return true; })) return std::nullopt;
    return folder_ + relative;
}

}  // namespace tarvenox::web
