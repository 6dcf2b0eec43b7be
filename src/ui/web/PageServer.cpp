// The local web server of the interactive program.
#include "ui/web/PageServer.h"

#include <civetweb.h>

#include <stdexcept>
#include <vector>

#include "ui/web/PageFiles.h"
#include "ui/web/PageSocket.h"
#include "ui/web/RequestGate.h"
#include "ui/web/Secret.h"

namespace tarvenox::web {

struct PageServer::Parts {
    Parts(PageServerFolders folders, PageBridge& bridge) : folders(std::move(folders)), socket(bridge) {}

    PageServerFolders folders;
    std::unique_ptr<RequestGate> gate;
    std::unique_ptr<PageGate> gateHandler;
    std::unique_ptr<PageFiles> files;
    PageSocket socket;
    // Last, so it stops (and lets its threads finish) before the handlers go.
    std::unique_ptr<CivetServer> server;
    int port = 0;
};

PageServer::PageServer(PageServerFolders folders, PageBridge& bridge, int port, SkinBridge* skin)
    : parts_(std::make_unique<Parts>(std::move(folders), bridge)) {
    mg_init_library(0);
    std::vector<std::string> options = {
        "listening_ports", "127.0.0.1:" + std::to_string(port),
        // Only this machine may connect, whatever the listening address.
        "access_control_list", "-0.0.0.0/0,+127.0.0.0/8",
        // The page's WebSocket holds one thread; the rest serve the player's files.
        "num_threads", "8",
        // Nothing is kept in a browser's cache: the host rewrites files of the working
        // folder (the working copy after each save), and a reload must show the new ones.
        // Revalidation would not do: civetweb's ETag is the time to the second and the
        // size, which a save may leave unchanged.
        "static_file_cache_control", "no-store",
    };
    try {
        parts_->server = std::make_unique<CivetServer>(options);
    } catch (const std::exception& error) {
        mg_exit_library();
        throw std::runtime_error("cannot serve the page on 127.0.0.1:" + std::to_string(port) + ": " + error.what());
    }
    std::vector<int> ports = parts_->server->getListeningPorts();
    if (ports.empty() || ports.front() <= 0) {
        parts_->server.reset();
        mg_exit_library();
        throw std::runtime_error("the page server has no port");
    }
    parts_->port = ports.front();
    parts_->gate = std::make_unique<RequestGate>(parts_->port, makeSecret());
    parts_->gateHandler = std::make_unique<PageGate>(*parts_->gate);
    parts_->files = std::make_unique<PageFiles>(parts_->folders, *parts_->gate, skin);
    // Until the gate is in place every request meets civetweb's default: no document
    // root, so nothing is served.
    parts_->server->addAuthHandler("/", *parts_->gateHandler);
    parts_->server->addWebSocketHandler(parts_->gate->prefix() + "ws", parts_->socket);
    parts_->server->addHandler("/", *parts_->files);
}

PageServer::~PageServer() {
    parts_->server.reset();
    mg_exit_library();
}

int PageServer::port() const { return parts_->port; }

const std::string& PageServer::prefix() const { return parts_->gate->prefix(); }

std::string PageServer::address() const {
    return "http://127.0.0.1:" + std::to_string(parts_->port) + parts_->gate->prefix();
}

std::string PageServer::skinPollUrl() const { return parts_->gate->prefix() + "skin/poll"; }

WorkingFolderUrls PageServer::workingFolderUrls() const {
    return WorkingFolderUrls(parts_->folders.working, parts_->gate->prefix() + "work/");
}

std::string PageServer::helpUrl() const {
    if (parts_->folders.help.empty()) return {};
    // A text fragment: the browser scrolls to the first match of the text, ignoring case.
    // The README names "the interactive program" in its text before the heading, so the
    // match must follow "##" (percent-encoded), as only the Markdown heading does.
    return parts_->gate->prefix() + "help/README.md#:~:text=%23%23-,The%20interactive%20program";
}

}  // namespace tarvenox::web
