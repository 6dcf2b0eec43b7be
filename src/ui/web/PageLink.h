// One WebSocket connection of the page, as the channel sees it.
#pragma once

#include <string_view>

namespace tarvenox::web {

// Implemented by the server for each connection; callable from any thread, and harmless
// once the connection has gone (send then answers false).
class PageLink {
public:
    virtual ~PageLink() = default;
    // Sends one text message; false when the connection is gone or the write failed.
    virtual bool send(std::string_view text) = 0;
    // Closes the connection from the server's side with the WebSocket close code.
    virtual void close(int code, std::string_view reason) = 0;
};

}  // namespace tarvenox::web
