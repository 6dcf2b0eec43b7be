// Writing file databases, for installations and tests.
#pragma once

#include <string>
#include <vector>

#include "common/Bytes.h"
#include "common/Result.h"

namespace tarvenox {

struct ArchiveFile {
    std::string name;  // Windows-1252, backslashes between folder names
    Bytes data;
};

// The archive holding the files in the given order. Fails, naming the file, when a name
// is empty, longer than 259 bytes or holds a NUL, or when the archive would not fit the
// format's 32-bit sizes.
Result<Bytes> buildArchive(const std::vector<ArchiveFile>& files);

}  // namespace tarvenox
