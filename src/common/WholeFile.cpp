// Reading a whole file into a byte string.
#include "common/WholeFile.h"

#include "common/FileIO.h"

namespace tarvenox {

std::string readWholeFile(const std::string& path) {
    auto bytes = readFileBytes(path);
    if (!bytes) return {};
    return asString(*bytes);
}

}  // namespace tarvenox
