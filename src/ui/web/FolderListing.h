// The host's answer to the page's "listFolder" request: one folder of the file system as
// the open and save dialogs browse it.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace tarvenox::web {

// The listing for a request {"path": P, "patterns": [...]} (see docs/protocol.md):
// {"path", "parent", "home", "folders", "files"}. An empty path lists the home folder.
// Throws std::runtime_error with the reason when the request is malformed or the folder
// cannot be read; the channel turns that into an error reply.
nlohmann::json listFolder(const nlohmann::json& request, const std::string& home);

}  // namespace tarvenox::web
