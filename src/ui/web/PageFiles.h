// The page server's files: which folder a path after the secret names, and its answer.
#pragma once

#include <string>

#include "ui/web/FileRoot.h"
#include "ui/web/GatedRequests.h"

namespace tarvenox::web {

struct PageServerFolders;

class SkinBridge;

class PageFiles : public ReadOnlyHandler {
public:
    // skin: the bridge whose movie stands in for its file of the working folder, and
    // whose polls are answered under "skin/poll"; nullptr for none. headers: lines added
    // to every answer ("Content-Security-Policy: ...\r\n").
    PageFiles(const PageServerFolders& folders, const RequestGate& gate, SkinBridge* skin, std::string headers);

    bool handleGet(CivetServer* server, mg_connection* connection) override;
    bool handleHead(CivetServer* server, mg_connection* connection) override;

private:
    const RequestGate& gate_;
    SkinBridge* skin_;
    std::string headers_;  // commonHeaders and the ones given
    FileRoot page_;
    FileRoot player_;
    FileRoot working_;
    FileRoot help_;
};

}  // namespace tarvenox::web
