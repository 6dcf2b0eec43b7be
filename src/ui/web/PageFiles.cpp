// The page server's files: which folder a path after the secret names, and its answer.
#include "ui/web/PageFiles.h"

#include <civetweb.h>
#include <strings.h>

#include <string>

#include "ui/web/ContentType.h"
#include "ui/web/PageServer.h"
#include "ui/web/SkinBridge.h"

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

// An answer made in memory, never cached.
void sendBytes(mg_connection* connection, std::string_view type, std::string_view body) {
    mg_response_header_start(connection, 200);
    mg_response_header_add(connection, "Content-Type", type.data(), static_cast<int>(type.size()));
    mg_response_header_add(connection, "Content-Length", std::to_string(body.size()).c_str(), -1);
    mg_response_header_add(connection, "Cache-Control", "no-store", -1);
    mg_response_header_add_lines(connection, commonHeaders);
    mg_response_header_send(connection);
    const char* method = mg_get_request_info(connection)->request_method;
    if (method && std::string_view(method) == "HEAD") return;
    mg_write(connection, body.data(), body.size());
}

}  // namespace

bool PageGate::authorize(CivetServer*, mg_connection* connection) {
    if (admitted(gate_, connection)) return true;
    refuse(connection);
    return false;
}

PageFiles::PageFiles(const PageServerFolders& folders, const RequestGate& gate, SkinBridge* skin)
    : gate_(gate),
      skin_(skin),
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
    if (skin_ && *path == "skin/poll") {
        const char* query = mg_get_request_info(connection)->query_string;
        sendBytes(connection, "text/plain; charset=utf-8", skin_->poll(query ? query : ""));
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
    // The interface movie with the clip that bridges its variables, at the address of its
    // file, so that the addresses the movie loads from resolve as they would for the file.
    if (std::shared_ptr<const Bytes> movie = skin_ && route->lead == "work/" ? skin_->movieFor(file->string()) : nullptr) {
        sendBytes(connection, type, {reinterpret_cast<const char*>(movie->data()), movie->size()});
        return true;
    }
    mg_send_mime_file2(connection, file->c_str(), type.c_str(), commonHeaders);
    return true;
}

}  // namespace tarvenox::web
