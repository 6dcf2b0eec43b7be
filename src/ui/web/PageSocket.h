// The page's WebSocket on the server: hands each connection and its messages to the channel.
#pragma once

#include <CivetServer.h>

#include <map>
#include <memory>
#include <mutex>

#include "ui/web/PageChannel.h"

namespace tarvenox::web {

class CivetPageLink;

class PageSocket : public CivetWebSocketHandler {
public:
    // A message larger than this closes the connection: the page sends short texts only.
    static constexpr std::size_t maxMessageBytes = 1 << 20;

    explicit PageSocket(PageChannel& channel);
    ~PageSocket() override;

    void handleReadyState(CivetServer* server, mg_connection* connection) override;
    bool handleData(CivetServer* server, mg_connection* connection, int bits, char* data, size_t length) override;
    void handleClose(CivetServer* server, const mg_connection* connection) override;

private:
    std::shared_ptr<CivetPageLink> linkOf(const mg_connection* connection);

    PageChannel& channel_;
    std::mutex mutex_;
    std::map<const mg_connection*, std::shared_ptr<CivetPageLink>> links_;
};

}  // namespace tarvenox::web
