// The local web server of the interactive program: the page's assets, the player's files
// and the working folder over HTTP, and the page's WebSocket, on 127.0.0.1 only.
#pragma once

#include <memory>
#include <string>

#include "ui/web/PageBridge.h"
#include "ui/web/SkinBridge.h"
#include "ui/web/WorkingFolderUrls.h"

namespace tarvenox::web {

struct PageServerFolders {
    std::string page;     // the page's own assets (web/); index.html is the page
    std::string player;   // the player's files (node_modules/@ruffle-rs/ruffle)
    std::string working;  // the program's working folder
    std::string help;     // the folder holding the installation's README.md; "" for none
};

// Addresses, all under the prefix "/s/SECRET/" (see docs/protocol.md):
//   /s/SECRET/            the page (index.html of the page folder)
//   /s/SECRET/web/...     the page's assets
//   /s/SECRET/ruffle/...  the player's files
//   /s/SECRET/work/...    files of the working folder, never cached
//   /s/SECRET/help/...    the help (README.md), when there is a help folder
//   /s/SECRET/skin/poll   the interface movie's polls, when there is a skin bridge
//   /s/SECRET/ws          the WebSocket
// Anything else, and every request that fails the gate, is refused.
class PageServer {
public:
    // Starts listening on 127.0.0.1 at the port (0: any free port). The bridge and the
    // skin bridge (if any) must outlive the server. Throws std::runtime_error when the
    // port cannot be had.
    PageServer(PageServerFolders folders, PageBridge& bridge, int port = 0, SkinBridge* skin = nullptr);
    ~PageServer();
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;

    int port() const;
    // "/s/SECRET/".
    const std::string& prefix() const;
    // The address to open: "http://127.0.0.1:PORT/s/SECRET/".
    std::string address() const;
    // The mapping between working-folder paths and this server's URLs.
    WorkingFolderUrls workingFolderUrls() const;
    // The address of the help on the interactive program: the README at its heading
    // "The interactive program"; "" when there is no help folder.
    std::string helpUrl() const;
    // The address the interface movie's bridge clip polls: "/s/SECRET/skin/poll".
    std::string skinPollUrl() const;

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace tarvenox::web
