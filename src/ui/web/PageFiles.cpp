// The page server's files: which folder a path after the secret names, and its answer.
#include "ui/web/PageFiles.h"

#include <civetweb.h>
#include <strings.h>

#include <string>

#include "ui/web/ContentType.h"
#include "ui/web/PageServer.h"

namespace tarvenox::web {
namespace {

// Every answer: no sniffing of a type other than the one given, and no address (with
// its secret) passed on to another site in a Referer.
constexpr const char* commonHeaders =
    "X-Content-Type-Options: nosniff\r\n"
    "Referrer-Policy: same-origin\r\n";

std::optional<std::string_view> header(mg_connection* connection, const char* name) {
    const char* value = mg_get_header(connection, name);
    if (!value) return std::nullopt;
    return std::string_view(value);
}

bool isWebSocketUpgrade(mg_connection* connection) {
    const char* upgrade = mg_get_header(connection, "Upgrade");
    return upgrade && ::strcasecmp(upgrade, "websocket") == 0;
}

std::optional<std::string_view> admitted(const RequestGate& gate, mg_connection* connection) {
    const mg_request_info* info = mg_get_request_info(connection);
    // local_uri_raw is decoded but not cleaned: civetweb would drop a "/x/../" pair from
    // local_uri, and the gate refuses such a path instead of guessing what it meant.
    const char* path = info->local_uri_raw ? info->local_uri_raw : info->local_uri;
    if (!path) return std::nullopt;
    return gate.admit({path, header(connection, "Host"), header(connection, "Origin"),
                       isWebSocketUpgrade(connection)});
}

// Written out whole: civetweb's own error page leaves out the status line when the
// request asked for a WebSocket upgrade.
void refuse(mg_connection* connection) {
    mg_printf(connection,
              "HTTP/1.1 403 Forbidden\r\nContent-Type: text/plain\r\nContent-Length: 10\r\n"
              "Connection: close\r\n\r\nForbidden\n");
}

}  // namespace

bool PageGate::authorize(CivetServer*, mg_connection* connection) {
    if (admitted(gate_, connection)) return true;
    refuse(connection);
    return false;
}

PageFiles::PageFiles(const PageServerFolders& folders, const RequestGate& gate)
    : gate_(gate),
      page_(folders.page),
      player_(folders.player),
      working_(folders.working),
      help_(folders.help) {}

bool PageFiles::handleHead(CivetServer* server, mg_connection* connection) {
    return handleGet(server, connection);
}

bool PageFiles::handleGet(CivetServer*, mg_connection* connection) {
    // The gate has let the request through already; asking it again gives the path
    // after the secret.
    std::optional<std::string_view> path = admitted(gate_, connection);
    if (!path) {
        refuse(connection);
        return true;
    }
    struct Route {
        std::string_view lead;
        const FileRoot& root;
        std::string_view textCharset;
    };
    const Route routes[] = {
        {"web/", page_, "utf-8"},
        {"ruffle/", player_, "utf-8"},
        {"work/", working_, "windows-1252"},
        // An empty help folder resolves nothing: every help address is then 404.
        {"help/", help_, "utf-8"},
    };
    std::optional<std::filesystem::path> file;
    const Route* route = nullptr;
    if (path->empty()) {
        route = &routes[0];
        file = page_.resolve("index.html");
    } else {
        for (const Route& candidate : routes) {
            if (path->substr(0, candidate.lead.size()) == candidate.lead) {
                route = &candidate;
                file = candidate.root.resolve(path->substr(candidate.lead.size()));
                break;
            }
        }
    }
    if (!file) {
        mg_send_http_error(connection, 404, "%s", "Not Found");
        return true;
    }
    std::string type = contentTypeFor(file->filename().string(), route->textCharset);
    mg_send_mime_file2(connection, file->c_str(), type.c_str(), commonHeaders);
    return true;
}

}  // namespace tarvenox::web
