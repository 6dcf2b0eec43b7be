// The program's own files beside the executable: the page, the movie player, the help and
// the renderer.
#pragma once

#include <optional>
#include <string>

namespace tarvenox {

struct ProgramFiles {
    std::string page;      // the page's assets, with index.html
    std::string player;    // the Ruffle player's files, with ruffle.js
    std::string help;      // the folder of the help pages (de.html, en.html)
    std::string renderer;  // the node script that draws movies in headless Chromium
};

// The folder share/tarvenox beside the executable (a build tree) or beside its parent
// folder (an installation under a prefix); $TARVENOX_SHARE instead when it is set.
// nullopt when none of them holds the page.
std::optional<std::string> programFilesFolder();
ProgramFiles programFilesIn(const std::string& folder);

// Whether the player's files are there.
bool playerInstalled(const ProgramFiles& files);

}  // namespace tarvenox
