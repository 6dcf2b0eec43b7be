// The local web server of the interactive program.
#include "ui/web/PageServer.h"

#include <civetweb.h>

#include <stdexcept>
#include <thread>
#include <vector>

#include "common/Log.h"
#include "common/Texts.h"
#include "ui/web/GatedRequests.h"
#include "ui/web/PageFiles.h"
#include "ui/web/PageSocket.h"
#include "ui/web/RequestGate.h"
#include "ui/web/Secret.h"
#include "ui/web/TemplateFiles.h"

namespace tarvenox::web {
namespace {

// civetweb's options for one of the two servers on 127.0.0.1.
std::vector<std::string> serverOptions(int port, int threads, std::chrono::milliseconds headerLimit) {
    // Option names and their values in pairs.
    // clang-format off
    return {
        "listening_ports", "127.0.0.1:" + std::to_string(port),
        // Only this machine may connect, whatever the listening address.
        "access_control_list", "-0.0.0.0/0,+127.0.0.0/8",
        // A connection holds a thread from its first byte to its last. Any process of the
        // machine may open connections and send nothing more: the request's header must
        // be complete within the limit, and there are threads enough that a few dozen such
        // connections leave the page's own requests served.
        "num_threads", std::to_string(threads),
        "request_timeout_ms", std::to_string(headerLimit.count()),
        // The limit is for the requests' headers: the page's WebSocket may be quiet for
        // as long as the user is.
        "websocket_timeout_ms", "3600000",
        // The page and the host talk in small messages, each waiting for the other's
        // answer: with Nagle's algorithm a message waited for the acknowledgement of the
        // last one, which the browser delays by 40 ms.
        "tcp_nodelay", "1",
        // Nothing is kept in a browser's cache: the host rewrites files of the working
        // folder (the working copy after each save), and a reload must show the new ones.
        // Revalidation would not do: civetweb's ETag is the time to the second and the
        // size, which a save may leave unchanged.
        "static_file_cache_control", "no-store",
        // civetweb would answer every preflight (OPTIONS) itself, before the gate, and add
        // "Access-Control-Allow-Origin: *" to files: neither holds here. Every method
        // meets the gate; the templates' server names the page's origin itself.
        "access_control_allow_methods", "",
        "access_control_allow_origin", "",
    };
    // clang-format on
}

// Starts a server on the port given (0: any free one). civetweb only says that it could not
// start, in words for developers: those go to the log, the user reads what to do.
std::unique_ptr<CivetServer> startServer(const std::vector<std::string>& options, int port, const char* what) {
    const auto refusal = [port] {
        return std::runtime_error(port != 0 ? text("server.portTaken", {std::to_string(port)}) : text("server.noPort"));
    };
    std::unique_ptr<CivetServer> server;
    try {
        server = std::make_unique<CivetServer>(options);
    } catch (const std::exception& error) {
        logPrint("cannot serve the %s on 127.0.0.1:%d: %s\n", what, port, error.what());
        throw refusal();
    }
    std::vector<int> ports = server->getListeningPorts();
    if (ports.empty() || ports.front() <= 0) {
        logPrint("the %s server has no port\n", what);
        throw refusal();
    }
    return server;
}

// What the page and its players may reach: the page's own server (its files, the
// player's script and wasm, the WebSocket) and the templates' server; no other host,
// for the page or for any movie it plays. Ruffle compiles its wasm ('wasm-unsafe-eval')
// and draws through styles and images it makes itself.
std::string contentSecurityPolicy(int templatePort) {
    const std::string templates = "http://127.0.0.1:" + std::to_string(templatePort);
    return "Content-Security-Policy: default-src 'none'; script-src 'self' 'wasm-unsafe-eval'; "
           "style-src 'self' 'unsafe-inline'; img-src 'self' data: blob:; font-src 'self' data:; "
           "media-src 'self' data: blob:; worker-src 'self' blob:; connect-src 'self' " +
           templates +
           "; "
           "object-src 'none'; frame-src 'none'; base-uri 'self'; form-action 'none'; frame-ancestors 'none'\r\n";
}

constexpr int pageThreads = 64;
constexpr int templateThreads = 16;

}  // namespace

struct PageServer::Parts {
    Parts(PageServerFolders folders, PageChannel& channel) : folders(std::move(folders)), socket(channel) {}

    PageServerFolders folders;
    PreviewBridge* preview = nullptr;
    std::unique_ptr<RequestGate> gate;
    std::unique_ptr<RequestGate> templateGate;
    std::unique_ptr<PageGate> gateHandler;
    std::unique_ptr<PageGate> templateGateHandler;
    std::unique_ptr<PageFiles> files;
    std::unique_ptr<TemplateFiles> templateFiles;
    PageSocket socket;
    // Last, so they stop (and let their threads finish) before the handlers go.
    std::unique_ptr<CivetServer> templateServer;
    std::unique_ptr<CivetServer> server;
    int port = 0;
    int templatePort = 0;
};

PageServer::PageServer(PageServerFolders folders, PageChannel& channel, int port, SkinBridge* skin,
                       PreviewBridge* preview, std::chrono::milliseconds headerLimit)
    : parts_(std::make_unique<Parts>(std::move(folders), channel)) {
    parts_->preview = preview;
    mg_init_library(0);
    try {
        parts_->server = startServer(serverOptions(port, pageThreads, headerLimit), port, "page");
        parts_->templateServer = startServer(serverOptions(0, templateThreads, headerLimit), 0, "templates");
    } catch (...) {
        parts_->server.reset();
        mg_exit_library();
        throw;
    }
    parts_->port = parts_->server->getListeningPorts().front();
    parts_->templatePort = parts_->templateServer->getListeningPorts().front();
    parts_->gate = std::make_unique<RequestGate>(parts_->port, makeSecret());
    // A key of its own: the templates' addresses, which their movies can read, open
    // nothing but the templates' server.
    parts_->templateGate = std::make_unique<RequestGate>(parts_->templatePort, makeSecret(), parts_->port);
    parts_->gateHandler = std::make_unique<PageGate>(*parts_->gate);
    parts_->templateGateHandler = std::make_unique<PageGate>(*parts_->templateGate);
    parts_->files =
        std::make_unique<PageFiles>(parts_->folders, *parts_->gate, skin, contentSecurityPolicy(parts_->templatePort));
    parts_->templateFiles = std::make_unique<TemplateFiles>(parts_->folders.working, *parts_->templateGate, preview);
    // Until the gates are in place every request meets civetweb's default: no document
    // root, so nothing is served.
    parts_->server->addAuthHandler("/", *parts_->gateHandler);
    parts_->server->addWebSocketHandler(parts_->gate->prefix() + "ws", parts_->socket);
    parts_->server->addHandler("/", *parts_->files);
    parts_->templateServer->addAuthHandler("/", *parts_->templateGateHandler);
    parts_->templateServer->addHandler("/", *parts_->templateFiles);
}

PageServer::~PageServer() {
    if (parts_->preview) parts_->preview->close();
    // civetweb's stop waits for its listening thread's next look at the sockets (up to
    // two seconds): the two servers wait at the same time.
    std::thread templateStop([this] { parts_->templateServer.reset(); });
    parts_->server.reset();
    templateStop.join();
    mg_exit_library();
}

int PageServer::port() const { return parts_->port; }

int PageServer::templatePort() const { return parts_->templatePort; }

const std::string& PageServer::prefix() const { return parts_->gate->prefix(); }

std::string PageServer::address() const {
    return "http://127.0.0.1:" + std::to_string(parts_->port) + parts_->gate->prefix();
}

std::string PageServer::templateAddress() const {
    return "http://127.0.0.1:" + std::to_string(parts_->templatePort) + parts_->templateGate->prefix();
}

std::string PageServer::skinPollUrl() const { return parts_->gate->prefix() + "skin/poll"; }

std::string PageServer::previewPollPrefix() const { return templateAddress() + "poll/"; }

WorkingFolderUrls PageServer::workingFolderUrls() const {
    return WorkingFolderUrls(parts_->folders.working, parts_->gate->prefix() + "work/", templateAddress());
}

std::string PageServer::helpUrl() const {
    if (parts_->folders.help.empty()) return {};
    return parts_->gate->prefix() + "help/" + languageCode(currentLanguage()) + ".html";
}

}  // namespace tarvenox::web
