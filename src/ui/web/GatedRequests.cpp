// What every request to the page's and the templates' servers meets.
#include "ui/web/GatedRequests.h"

#include <civetweb.h>
#include <strings.h>

namespace tarvenox::web {
namespace {

std::optional<std::string_view> header(mg_connection* connection, const char* name) {
    const char* value = mg_get_header(connection, name);
    if (!value) return std::nullopt;
    return std::string_view(value);
}

bool isWebSocketUpgrade(mg_connection* connection) {
    const char* upgrade = mg_get_header(connection, "Upgrade");
    return upgrade && ::strcasecmp(upgrade, "websocket") == 0;
}

bool methodNotAllowed(mg_connection* connection) {
    mg_printf(connection, "HTTP/1.1 405 Method Not Allowed\r\nAllow: GET, HEAD\r\nContent-Type: text/plain\r\n"
                          "Content-Length: 19\r\nConnection: close\r\n\r\nMethod Not Allowed\n");
    return true;
}

}  // namespace

std::optional<std::string_view> admittedPath(const RequestGate& gate, mg_connection* connection) {
    const mg_request_info* info = mg_get_request_info(connection);
    // local_uri_raw is decoded but not cleaned: civetweb would drop a "/x/../" pair from
    // local_uri, and the gate refuses such a path instead of guessing what it meant.
    const char* path = info->local_uri_raw ? info->local_uri_raw : info->local_uri;
    if (!path) return std::nullopt;
    return gate.admit({path, header(connection, "Host"), header(connection, "Origin"), isWebSocketUpgrade(connection)});
}

void sendBytes(mg_connection* connection, std::string_view type, std::string_view body, const std::string& headers) {
    mg_response_header_start(connection, 200);
    mg_response_header_add(connection, "Content-Type", type.data(), static_cast<int>(type.size()));
    mg_response_header_add(connection, "Content-Length", std::to_string(body.size()).c_str(), -1);
    mg_response_header_add(connection, "Cache-Control", "no-store", -1);
    mg_response_header_add_lines(connection, headers.c_str());
    mg_response_header_send(connection);
    const char* method = mg_get_request_info(connection)->request_method;
    if (method && std::string_view(method) == "HEAD") return;
    mg_write(connection, body.data(), body.size());
}

void refuse(mg_connection* connection) {
    mg_printf(connection, "HTTP/1.1 403 Forbidden\r\nContent-Type: text/plain\r\nContent-Length: 10\r\n"
                          "Connection: close\r\n\r\nForbidden\n");
}

bool PageGate::authorize(CivetServer*, mg_connection* connection) {
    if (admittedPath(gate_, connection)) return true;
    refuse(connection);
    return false;
}

bool ReadOnlyHandler::handlePost(CivetServer*, mg_connection* connection) { return methodNotAllowed(connection); }
bool ReadOnlyHandler::handlePut(CivetServer*, mg_connection* connection) { return methodNotAllowed(connection); }
bool ReadOnlyHandler::handleDelete(CivetServer*, mg_connection* connection) { return methodNotAllowed(connection); }
bool ReadOnlyHandler::handleOptions(CivetServer*, mg_connection* connection) { return methodNotAllowed(connection); }
bool ReadOnlyHandler::handlePatch(CivetServer*, mg_connection* connection) { return methodNotAllowed(connection); }

}  // namespace tarvenox::web
