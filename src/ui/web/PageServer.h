// The local web server of the interactive program: the page's assets, the player's files
// and the working folder over HTTP, and the page's WebSocket, on 127.0.0.1 only.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "ui/web/PageChannel.h"
#include "ui/web/PreviewBridge.h"
#include "ui/web/SkinBridge.h"
#include "ui/web/WorkingFolderUrls.h"

namespace tarvenox::web {

struct PageServerFolders {
    std::string page;     // the page's own assets (web/); index.html is the page
    std::string player;   // the player's files (node_modules/@ruffle-rs/ruffle)
    std::string working;  // the program's working folder
    std::string help;     // the folder of the help pages, one a language (de.html); "" for none
};

// Two servers on 127.0.0.1, two origins for the browser (see docs/protocol.md). The
// page's, all under the prefix "/s/SECRET/":
//   /s/SECRET/            the page (index.html of the page folder)
//   /s/SECRET/web/...     the page's assets
//   /s/SECRET/ruffle/...  the player's files
//   /s/SECRET/work/...    files of the working folder, never cached
//   /s/SECRET/help/...    the help pages, when there is a help folder
//   /s/SECRET/skin/poll   the interface movie's polls, when there is a skin bridge
//   /s/SECRET/ws          the WebSocket
// The templates', on a port of its own, under a key of its own "/s/KEY/": the template
// movies of the working folder (isTemplateMovie), and nothing else; a template played
// from there reaches none of the page's addresses, and its own address opens nothing but
// template movies; with a preview bridge also "poll/N", the polls of the preview's
// movie number N (see PreviewBridge).
// Anything else, and every request that fails a gate, is refused; every method meets the
// gate, and only GET and HEAD are served.
class PageServer {
public:
    // How long a request may take to send its header (and any read or write may stall).
    static constexpr std::chrono::milliseconds defaultHeaderLimit{5000};

    // Starts listening on 127.0.0.1 at the port (0: any free port) and at a free port for
    // the templates. The channel and the skin and preview bridges (if any) must outlive the
    // server; it closes the preview bridge as it stops, so no poll held keeps it waiting.
    // Throws std::runtime_error when a port cannot be had.
    PageServer(PageServerFolders folders, PageChannel& channel, int port = 0, SkinBridge* skin = nullptr,
               PreviewBridge* preview = nullptr, std::chrono::milliseconds headerLimit = defaultHeaderLimit);
    ~PageServer();
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;

    int port() const;
    int templatePort() const;
    // "/s/SECRET/".
    const std::string& prefix() const;
    // The address to open: "http://127.0.0.1:PORT/s/SECRET/".
    std::string address() const;
    // The templates' folder: "http://127.0.0.1:TEMPLATEPORT/s/KEY/".
    std::string templateAddress() const;
    // The mapping between working-folder paths and this server's URLs.
    WorkingFolderUrls workingFolderUrls() const;
    // The address of the help page in the run's language (help/de.html, help/en.html); ""
    // when there is no help folder.
    std::string helpUrl() const;
    // The address the interface movie's bridge clip polls: "/s/SECRET/skin/poll".
    std::string skinPollUrl() const;
    // The address the preview's clips poll, the movie's number appended:
    // "http://127.0.0.1:TEMPLATEPORT/s/KEY/poll/".
    std::string previewPollPrefix() const;

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace tarvenox::web
