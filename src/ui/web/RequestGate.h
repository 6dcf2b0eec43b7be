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
    // port: the server's own, which Host must name. pagePort: the port of the page whose
    // requests are welcome, which Origin must name; 0 for this server's own (the page's
    // server). The templates' server serves the page's players, so it takes the page's
    // origin, and no other, from a different port.
    RequestGate(int port, std::string secret, int pagePort = 0);

    // "/s/SECRET/": every address of the server starts with it.
    const std::string& prefix() const { return prefix_; }

    // The path after the prefix (without its leading "/": "", "web/app.js") when the
    // request may be served; nullopt when it is refused (the server answers 403).
    // Refused: a Host that is not 127.0.0.1:PORT or localhost:PORT (a page of another
    // site that a rebound DNS name points at this port sends its own name); an Origin
    // other than the page (an upgrade must carry one, as browsers always send it);
    // a path without the secret; a path with a "." or ".." segment, percent-encoded or not.
    std::optional<std::string_view> admit(const GateRequest& request) const;

private:
    // Whether host is 127.0.0.1:port or localhost:port.
    static bool namesLoopback(std::string_view host, std::string_view port);
    bool pageOrigin(std::string_view origin) const;

    std::string port_;
    std::string pagePort_;
    std::string secret_;
    std::string prefix_;
};

}  // namespace tarvenox::web
