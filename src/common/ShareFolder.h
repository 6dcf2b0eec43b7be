// Where the program's own shared files are: share/tarvenox beside the executable.
#pragma once

#include <optional>
#include <string>

namespace tarvenox {

// Whether the folders beside the executable are still looked at when $TARVENOX_SHARE is set
// and lacks the file: not for the page and the player, which are replaced as a whole; yes
// for the texts, which a replaced page still needs.
enum class ShareSearch { givenFolderOnly, thenBesideProgram };

// The folder share/tarvenox beside the executable (a build tree) or beside its parent
// folder (an installation under a prefix); $TARVENOX_SHARE instead when it is set. The
// first of them that holds the file `marker` (a path relative to the folder); nullopt when
// none does.
std::optional<std::string> shareFolderHolding(const std::string& marker,
                                              ShareSearch search = ShareSearch::givenFolderOnly);

}  // namespace tarvenox
