// Product file names: relative names with backslashes, in Windows-1252, as the
// configuration texts and archives write them.
#pragma once

#include <string>

namespace tarvenox {

// The part after the last backslash or slash (all of it when there is none).
std::string baseName(const std::string& name);

// The name as a relative path on disk: UTF-8, with "/" between its parts.
std::string diskName(const std::string& name);

// Whether a name may be looked up on disk and its file placed into the working folder:
// not empty, not absolute, no NUL, no "." or ".." part, not ending in a separator.
// Names come from configuration texts, archives and the interface movie; one that could
// reach outside the installation or the working folder is refused.
bool isSafeProductName(const std::string& name);

}  // namespace tarvenox

namespace tarvenox {

// A folder path that ends in "/" (an empty path stays empty).
std::string withTrailingSlash(std::string folder);

}  // namespace tarvenox
