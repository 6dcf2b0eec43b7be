// Whole-file reading and replace-by-rename writing.
#include "common/FileIO.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "common/SystemReason.h"
#include "common/TemporaryPaths.h"
#include "common/Texts.h"

namespace tarvenox {

namespace {

// The kernel's own bound on the links one lookup follows.
constexpr int kMaxLinkDepth = 40;

Report failureOf(const std::string& path, const std::string& what) { return Report::failure(path + ": " + what); }

std::string errnoText() { return systemReason(errno); }

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return "";
    return path.substr(0, slash + 1);
}

// The file a write to path lands in: path itself, or the final target of the chain of
// symbolic links that starts there (which need not exist yet). nullopt for a loop or
// an unreadable link.
std::optional<std::string> finalTarget(std::string path) {
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
        if (n < 0) return std::nullopt;
        target[n] = '\0';
        path = target[0] == '/' ? std::string(target) : folderOf(path) + target;
    }
    return std::nullopt;
}

}  // namespace

bool writeAll(int fd, ByteSpan bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

Result<OpenedFile> openRegularFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return failureOf(path, text("file.cannotOpen", {errnoText()}));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return failureOf(path, text(S_ISDIR(st.st_mode) ? "file.isFolder" : "file.notRegular"));
    }
    return OpenedFile{fd, static_cast<std::uint64_t>(st.st_size)};
}

Result<Bytes> readFileBytes(const std::string& path) {
    Result<OpenedFile> opened = openRegularFile(path);
    if (!opened) return opened.report();
    const int fd = opened->fd;
    // Read straight into the buffer; a file that grows meanwhile is read to its end.
    Bytes data(static_cast<std::size_t>(opened->size));
    std::size_t done = 0;
    for (;;) {
        if (done == data.size()) data.resize(data.size() + 65536);
        const ssize_t n = ::read(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            Report failure = failureOf(path, text("file.readError", {errnoText()}));
            ::close(fd);
            return failure;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    data.resize(done);
    return data;
}

Report writeFileAtomically(const std::string& path, ByteSpan bytes) {
    ByteChain chain;
    chain.appendView(bytes);
    return writeFileAtomically(path, chain);
}

Report writeFileAtomically(const std::string& path, const ByteChain& bytes) {
    const auto target = finalTarget(path);
    if (!target) return failureOf(path, text("file.cannotFollowLink", {errnoText()}));
    // A rename over a device, a FIFO or a folder would replace it (or fail half-way);
    // such an output is refused before anything is written.
    struct stat existing {};
    const bool exists = ::stat(target->c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) return failureOf(path, text("file.notRegularNothingWritten"));
    std::string temp = *target + ".tmpXXXXXX";
    int fd = createRegisteredTemporaryFile(temp);
    if (fd < 0) return failureOf(path, text("file.noTemporary", {errnoText()}));
    // mkstemp creates 0600: an existing file keeps its mode, a new one gets the usual
    // mode for a file the user saves.
    mode_t mode = existing.st_mode & 07777;
    if (!exists) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);
    std::string cause;
    const Report written = bytes.writeTo(fd, true);
    bool ok = !written.failed();
    if (!ok) {
        cause = text("file.writeError", {written.reason()});
    } else if (::fsync(fd) != 0) {
        ok = false;
        cause = text("file.writeError", {errnoText()});
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        cause = text("file.writeError", {errnoText()});
    }
    if (ok && ::rename(temp.c_str(), target->c_str()) != 0) {
        ok = false;
        cause = text("file.cannotReplace", {errnoText()});
    }
    if (!ok) ::unlink(temp.c_str());
    unregisterTemporaryPath(temp);
    if (!ok) return failureOf(path, cause);
    return {};
}

}  // namespace tarvenox
