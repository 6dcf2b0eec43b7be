// The checks every request to the page server passes before anything is served.
#include "ui/web/RequestGate.h"

#include <algorithm>
#include <cctype>

#include "ui/web/Secret.h"

namespace tarvenox::web {
namespace {

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// True when a segment of the path is "." or "..". civetweb has already decoded "%2e",
// so an encoded escape arrives here as a plain one.
bool hasDotSegment(std::string_view path) {
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos) end = path.size();
        std::string_view segment = path.substr(start, end - start);
        if (segment == "." || segment == "..") return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

RequestGate::RequestGate(int port, std::string secret, int pagePort)
    : port_(std::to_string(port)),
      pagePort_(std::to_string(pagePort == 0 ? port : pagePort)),
      secret_(std::move(secret)),
      prefix_("/s/" + secret_ + "/") {}

bool RequestGate::namesLoopback(std::string_view host, std::string_view port) {
    std::size_t colon = host.rfind(':');
    if (colon == std::string_view::npos || host.substr(colon + 1) != port) return false;
    std::string_view name = host.substr(0, colon);
    return name == "127.0.0.1" || equalIgnoringCase(name, "localhost");
}

bool RequestGate::pageOrigin(std::string_view origin) const {
    static constexpr std::string_view scheme = "http://";
    if (origin.size() <= scheme.size() || !equalIgnoringCase(origin.substr(0, scheme.size()), scheme)) return false;
    return namesLoopback(origin.substr(scheme.size()), pagePort_);
}

std::optional<std::string_view> RequestGate::admit(const GateRequest& request) const {
    if (!request.host || !namesLoopback(*request.host, port_)) return std::nullopt;
    if (request.origin ? !pageOrigin(*request.origin) : request.webSocketUpgrade) return std::nullopt;

    static constexpr std::string_view lead = "/s/";
    std::string_view path = request.path;
    if (path.substr(0, lead.size()) != lead) return std::nullopt;
    path.remove_prefix(lead.size());
    std::size_t slash = path.find('/');
    if (slash == std::string_view::npos || !sameSecret(path.substr(0, slash), secret_)) return std::nullopt;
    path.remove_prefix(slash + 1);
    if (hasDotSegment(path)) return std::nullopt;
    return path;
}

}  // namespace tarvenox::web
