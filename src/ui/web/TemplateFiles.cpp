// The templates' server: the working copies of templates, read-only.
#include "ui/web/TemplateFiles.h"

#include <civetweb.h>
#include <strings.h>

#include <string>

#include "ui/web/ContentType.h"
#include "ui/web/PreviewBridge.h"

namespace tarvenox::web {

bool isTemplateMovie(std::string_view name) {
    static constexpr std::string_view extension = ".swf";
    if (name.size() <= extension.size() || name.find('/') != std::string_view::npos) return false;
    if (::strncasecmp(name.substr(name.size() - extension.size()).data(), extension.data(), extension.size()) != 0) {
        return false;
    }
    return name != "skin.swf" && name != "button.swf";
}

TemplateFiles::TemplateFiles(std::filesystem::path workingFolder, const RequestGate& gate, PreviewBridge* preview)
    : gate_(gate), preview_(preview), working_(std::move(workingFolder)) {}

bool TemplateFiles::handleHead(CivetServer* server, mg_connection* connection) { return handleGet(server, connection); }

bool TemplateFiles::handleGet(CivetServer*, mg_connection* connection) {
    std::optional<std::string_view> name = admittedPath(gate_, connection);
    if (!name) {
        refuse(connection);
        return true;
    }
    // The players of the page fetch their movies (and a preview's clip its polls) from the
    // page's origin: the page (and only the page, the gate has seen to that) may read the
    // answer. A movie opened as a document of its own gets no rights at all.
    std::string headers = commonHeaders;
    headers += "Content-Security-Policy: default-src 'none'; sandbox\r\nVary: Origin\r\n";
    if (const char* origin = mg_get_header(connection, "Origin")) {
        headers += "Access-Control-Allow-Origin: " + std::string(origin) + "\r\n";
    }
    static constexpr std::string_view pollLead = "poll/";
    if (preview_ && name->starts_with(pollLead)) {
        // A movie the bridge has forgotten (the page replaced it) may poll once more before
        // it goes: it is answered with nothing to set, not refused, which the page would
        // report as an error.
        const char* query = mg_get_request_info(connection)->query_string;
        std::optional<std::string> answer = preview_->poll(name->substr(pollLead.size()), query ? query : "");
        sendBytes(connection, "text/plain; charset=utf-8", answer.value_or(""), headers);
        return true;
    }
    std::optional<std::filesystem::path> file;
    if (isTemplateMovie(*name)) file = working_.resolve(*name);
    if (!file) {
        mg_send_http_error(connection, 404, "%s", "Not Found");
        return true;
    }
    const std::string type = contentTypeFor(file->filename().string());
    if (std::shared_ptr<const Bytes> movie = preview_ ? preview_->movieFor(file->string()) : nullptr) {
        sendBytes(connection, type, {reinterpret_cast<const char*>(movie->data()), movie->size()}, headers);
        return true;
    }
    mg_send_mime_file2(connection, file->c_str(), type.c_str(), headers.c_str());
    return true;
}

}  // namespace tarvenox::web
