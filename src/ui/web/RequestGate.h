// The checks every request to the page server passes before anything is served:
// the server's own Host, no foreign Origin, the secret in the path, no dot segments.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvenox::web {

struct GateRequest {
    std::string_view path;                 // the URL path as the server decoded it
    std::optional<std::string_view> host;  // the Host header, if any
    std::optional<std::string_view> origin;
    bool webSocketUpgrade = false;
};

class RequestGate {
public:
    RequestGate(int port, std::string secret);

    // "/s/SECRET/": every address of the server starts with it.
    const std::string& prefix() const { return prefix_; }

    // The path after the prefix (without its leading "/": "", "web/app.js") when the
    // request may be served; nullopt when it is refused (the server answers 403).
    // Refused: a Host that is not 127.0.0.1:PORT or localhost:PORT (a page of another
    // site that a rebound DNS name points at this port sends its own name); an Origin
    // other than this server (an upgrade must carry one, as browsers always send it);
    // a path without the secret; a path with a "." or ".." segment, percent-encoded or not.
    std::optional<std::string_view> admit(const GateRequest& request) const;

private:
    bool ownHost(std::string_view host) const;
    bool ownOrigin(std::string_view origin) const;

    std::string port_;
    std::string secret_;
    std::string prefix_;
};

}  // namespace tarvenox::web
