// Where a command writes its result.
#include "publish/OutputFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/FileIO.h"
#include "common/Texts.h"
#include "publish/Refusal.h"

namespace tarvenox {

bool isStandardOutput(const std::string& path) { return path == "-"; }

Report prepareOutput(const std::string& path) {
    if (isStandardOutput(path)) return {};
    // Refused before any work: the write would refuse it at the end anyway.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        return failedWith(text("output.notRegular", {path}));
    }
    return {};
}

Report writeOutput(const std::string& path, ByteSpan bytes) {
    ByteChain chain;
    chain.appendView(bytes);
    return writeOutput(path, chain);
}

Report writeOutput(const std::string& path, const ByteChain& bytes) {
    if (isStandardOutput(path)) {
        if (Report written = bytes.writeTo(STDOUT_FILENO, false); written.failed()) {
            return failedWith(text("output.stdoutWriteError", {written.reason()}));
        }
        return {};
    }
    if (Report written = writeFileAtomically(path, bytes); written.failed()) return failedWith(written.reason());
    return {};
}

}  // namespace tarvenox
