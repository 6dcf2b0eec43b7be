// What every request to the page's and the templates' servers meets: the gate, run as
// civetweb's authorisation step for every method, and handlers that answer reads only.
#pragma once

#include <CivetServer.h>

#include <optional>
#include <string>
#include <string_view>

#include "ui/web/RequestGate.h"

namespace tarvenox::web {

// Every answer: no sniffing of a type other than the one given, and no address (with
// its secret) passed on to another site in a Referer.
inline constexpr const char* commonHeaders = "X-Content-Type-Options: nosniff\r\n"
                                             "Referrer-Policy: same-origin\r\n";

// The path after the secret when the gate admits the request; nullopt when it refuses.
std::optional<std::string_view> admittedPath(const RequestGate& gate, mg_connection* connection);

// A 200 answer made in memory, never cached: the type, the body (none for HEAD) and the
// header lines given ("Name: value\r\n" each).
void sendBytes(mg_connection* connection, std::string_view type, std::string_view body, const std::string& headers);

// 403, written out whole: civetweb's own error page leaves out the status line when the
// request asked for a WebSocket upgrade.
void refuse(mg_connection* connection);

// The gate as civetweb's authorisation step: it runs before every request handler and
// before the WebSocket upgrade, whatever the method, and answers 403 itself when it
// refuses.
class PageGate : public CivetAuthHandler {
public:
    explicit PageGate(const RequestGate& gate) : gate_(gate) {}
    bool authorize(CivetServer* server, mg_connection* connection) override;

private:
    const RequestGate& gate_;
};

// A handler of GET and HEAD only: every other method that passed the gate is answered
// 405. The servers take nothing from the page over HTTP (the WebSocket carries that),
// and a preflight (OPTIONS) has nothing to allow.
class ReadOnlyHandler : public CivetHandler {
public:
    bool handlePost(CivetServer* server, mg_connection* connection) override;
    bool handlePut(CivetServer* server, mg_connection* connection) override;
    bool handleDelete(CivetServer* server, mg_connection* connection) override;
    bool handleOptions(CivetServer* server, mg_connection* connection) override;
    bool handlePatch(CivetServer* server, mg_connection* connection) override;
};

}  // namespace tarvenox::web
