// The page server's files: which folder a path after the secret names, and its answer.
#pragma once

#include <CivetServer.h>

#include "ui/web/FileRoot.h"
#include "ui/web/RequestGate.h"

namespace tarvenox::web {

struct PageServerFolders;

class SkinBridge;

class PageFiles : public CivetHandler {
public:
    // skin: the bridge whose movie stands in for its file of the working folder, and
    // whose polls are answered under "skin/poll"; nullptr for none.
    PageFiles(const PageServerFolders& folders, const RequestGate& gate, SkinBridge* skin);

    bool handleGet(CivetServer* server, mg_connection* connection) override;
    bool handleHead(CivetServer* server, mg_connection* connection) override;

private:
    const RequestGate& gate_;
    SkinBridge* skin_;
    FileRoot page_;
    FileRoot player_;
    FileRoot working_;
    FileRoot help_;
};

// The gate as civetweb's authorisation step: it runs before every request handler and
// before the WebSocket upgrade, and answers 403 itself when it refuses.
class PageGate : public CivetAuthHandler {
public:
    explicit PageGate(const RequestGate& gate) : gate_(gate) {}
    bool authorize(CivetServer* server, mg_connection* connection) override;

private:
    const RequestGate& gate_;
};

}  // namespace tarvenox::web
