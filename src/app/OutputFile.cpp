// Where a command writes its result.
#include "app/OutputFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/CommandError.h"
#include "common/FileIO.h"

namespace tarvenox {

bool isStandardOutput(const std::string& path) { return path == "-"; }

void prepareOutput(const std::string& path) {
    if (isStandardOutput(path)) return;
    // Refused before any work: the write would refuse it at the end anyway.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        throw CommandError(path + ": not a regular file; nothing was written");
    }
}

void writeOutput(const std::string& path, ByteSpan bytes) {
    ByteChain chain;
    chain.appendView(bytes);
    writeOutput(path, chain);
}

void writeOutput(const std::string& path, const ByteChain& bytes) {
    if (isStandardOutput(path)) {
        if (Report written = bytes.writeTo(STDOUT_FILENO, false); written.failed()) {
            throw CommandError("standard output: write error: " + written.reason());
        }
        return;
    }
    if (Report written = writeFileAtomically(path, bytes); written.failed()) throw CommandError(written.reason());
}

}  // namespace tarvenox
