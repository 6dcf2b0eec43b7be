// Reading a whole file into a byte string.
#pragma once

#include <string>

namespace tarvenox {

// The whole file as a byte string; empty when it cannot be opened or read, is not a
// regular file, or is empty. Used for the product's files and for the user's pictures,
// sounds and JPEGs alike.
std::string readWholeFile(const std::string& path);

}  // namespace tarvenox
