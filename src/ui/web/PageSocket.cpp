// The page's WebSocket on the server: hands each connection and its messages to the channel.
#include "ui/web/PageSocket.h"

#include <civetweb.h>

#include <string>

namespace tarvenox::web {

// A connection as the channel sees it. civetweb frees the connection after handleClose,
// so every write checks, under the link's own lock, that it has not closed yet.
class CivetPageLink : public PageLink {
public:
    explicit CivetPageLink(mg_connection* connection) : connection_(connection) {}

    bool send(std::string_view text) override {
        std::lock_guard lock(mutex_);
        return connection_ && mg_websocket_write(connection_, MG_WEBSOCKET_OPCODE_TEXT, text.data(), text.size()) > 0;
    }

    void close(int code, std::string_view reason) override {
        std::lock_guard lock(mutex_);
        if (!connection_) return;
        std::string payload{static_cast<char>((code >> 8) & 0xFF), static_cast<char>(code & 0xFF)};
        payload += reason;
        mg_websocket_write(connection_, MG_WEBSOCKET_OPCODE_CONNECTION_CLOSE, payload.data(), payload.size());
    }

    void closed() {
        std::lock_guard lock(mutex_);
        connection_ = nullptr;
    }

    // The text message being put together from its fragments; used by civetweb's thread
    // of this connection only.
    std::string pending;

private:
    std::mutex mutex_;
    mg_connection* connection_;
};

PageSocket::PageSocket(PageChannel& channel) : channel_(channel) {}

PageSocket::~PageSocket() = default;

std::shared_ptr<CivetPageLink> PageSocket::linkOf(const mg_connection* connection) {
    std::lock_guard lock(mutex_);
    auto found = links_.find(connection);
    return found == links_.end() ? nullptr : found->second;
}

void PageSocket::handleReadyState(CivetServer*, mg_connection* connection) {
    auto link = std::make_shared<CivetPageLink>(connection);
    {
        std::lock_guard lock(mutex_);
        links_[connection] = link;
    }
    channel_.attach(link);
}

bool PageSocket::handleData(CivetServer*, mg_connection* connection, int bits, char* data, size_t length) {
    std::shared_ptr<CivetPageLink> link = linkOf(connection);
    if (!link) return false;
    bool final = (bits & 0x80) != 0;
    switch (bits & 0x0F) {
        case MG_WEBSOCKET_OPCODE_CONTINUATION:
        case MG_WEBSOCKET_OPCODE_TEXT:
            if (link->pending.size() + length > maxMessageBytes) return false;
            link->pending.append(data, length);
            if (final) {
                channel_.receive(link.get(), link->pending);
                link->pending.clear();
            }
            return true;
        case MG_WEBSOCKET_OPCODE_PING:
        case MG_WEBSOCKET_OPCODE_PONG: return true;
        default:
            // A close, or binary data the protocol has no use for: the connection ends.
            return false;
    }
}

void PageSocket::handleClose(CivetServer*, const mg_connection* connection) {
    std::shared_ptr<CivetPageLink> link;
    {
        std::lock_guard lock(mutex_);
        auto found = links_.find(connection);
        if (found == links_.end()) return;
        link = found->second;
        links_.erase(found);
    }
    link->closed();
    channel_.detach(link.get());
}

}  // namespace tarvenox::web
