// The page server's files: which folder a path after the secret names, and its answer.
#include "ui/web/PageFiles.h"

#include <civetweb.h>

#include <string>

#include "common/WholeFile.h"
#include "ui/web/ContentType.h"
#include "ui/web/PageCatalogue.h"
#include "ui/web/PageServer.h"
#include "ui/web/SkinBridge.h"

namespace tarvenox::web {

PageFiles::PageFiles(const PageServerFolders& folders, const RequestGate& gate, SkinBridge* skin, std::string headers)
    : gate_(gate),
      skin_(skin),
      headers_(commonHeaders + headers),
      page_(folders.page),
      player_(folders.player),
      working_(folders.working),
      help_(folders.help) {}

bool PageFiles::handleHead(CivetServer* server, mg_connection* connection) { return handleGet(server, connection); }

bool PageFiles::handleGet(CivetServer*, mg_connection* connection) {
    // The gate has let the request through already; asking it again gives the path
    // after the secret.
    std::optional<std::string_view> path = admittedPath(gate_, connection);
    if (!path) {
        refuse(connection);
        return true;
    }
    if (skin_ && *path == "skin/poll") {
        const char* query = mg_get_request_info(connection)->query_string;
        sendBytes(connection, "text/plain; charset=utf-8", skin_->poll(query ? query : ""), headers_);
        return true;
    }
    if (*path == pageCatalogueAddress) {
        sendBytes(connection, "text/javascript; charset=utf-8", pageCatalogueScript(), headers_);
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
        // The index in the run's language; read whole, it is a few hundred bytes.
        const std::optional<std::filesystem::path> index = page_.resolve("index.html");
        const std::string html = index ? readWholeFile(index->string()) : std::string();
        if (html.empty()) {
            mg_send_http_error(connection, 404, "%s", "Not Found");
        } else {
            sendBytes(connection, "text/html; charset=utf-8", pageIndexInRunLanguage(html), headers_);
        }
        return true;
    }
    for (const Route& candidate : routes) {
        if (path->substr(0, candidate.lead.size()) == candidate.lead) {
            route = &candidate;
            file = candidate.root.resolve(path->substr(candidate.lead.size()));
            break;
        }
    }
    if (!file) {
        mg_send_http_error(connection, 404, "%s", "Not Found");
        return true;
    }
    std::string type = contentTypeFor(file->filename().string(), route->textCharset);
    // The interface movie with the clip that bridges its variables, at the address of its
    // file, so that the addresses the movie loads from resolve as they would for the file.
    if (std::shared_ptr<const Bytes> movie =
            skin_ && route->lead == "work/" ? skin_->movieFor(file->string()) : nullptr) {
        sendBytes(connection, type, {reinterpret_cast<const char*>(movie->data()), movie->size()}, headers_);
        return true;
    }
    mg_send_mime_file2(connection, file->c_str(), type.c_str(), headers_.c_str());
    return true;
}

}  // namespace tarvenox::web
