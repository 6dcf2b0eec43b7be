// Whole-file reading and replace-by-rename writing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/ByteChain.h"
#include "common/Bytes.h"
#include "common/Result.h"

namespace tarvenox {

// The whole file, or a failure whose reason names the file and the cause. The file is
// opened without blocking, so a FIFO without a writer or a device cannot stall the
// program, and only a regular file is read: a FIFO, a device or a folder is refused as
// "not a regular file".
Result<Bytes> readFileBytes(const std::string& path);

// A regular file open for reading; the caller closes fd.
struct OpenedFile {
    int fd = -1;
    std::uint64_t size = 0;
};
// Opens a regular file for reading as readFileBytes does.
Result<OpenedFile> openRegularFile(const std::string& path);

// Writes the bytes to a temporary file beside path and renames it over path, so a
// failure never leaves a half-written or destroyed file behind. A symbolic link is
// followed: its final target is replaced, and the link stays. An existing target keeps
// its permission bits; a path that exists as something other than a regular file (a
// folder, a FIFO, a device) is refused and left alone. The temporary file is removed
// on failure and on SIGINT, SIGTERM or SIGHUP (see TemporaryPaths.h); the failure's
// reason then names the file and the cause.
Report writeFileAtomically(const std::string& path, ByteSpan bytes);
// The same for bytes in pieces (ByteChain::writeTo), whose write-back starts while they
// are written.
Report writeFileAtomically(const std::string& path, const ByteChain& bytes);

// Writes all bytes to an open descriptor, retrying interrupted and partial writes.
bool writeAll(int fd, ByteSpan bytes);

}  // namespace tarvenox
