// Files that must lie inside a folder.
#include "common/ContainedFile.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

namespace tarvenox {

namespace {

// Where the kernel keeps the descriptor's file: the target of its /proc link. nullopt
// without /proc, or for a file that has no path (deleted, or no file at all).
std::optional<std::string> descriptorPath(int fd) {
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer || buffer[0] != '/') return std::nullopt;
    std::string path(buffer, static_cast<std::size_t>(n));
    if (path.ends_with(" (deleted)")) return std::nullopt;
    return path;
}

}  // namespace

std::optional<std::string> realPathOf(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return std::nullopt;
    std::string result(resolved);
    std::free(resolved);
    return result;
}

bool liesInside(const std::string& realPath, const std::string& realFolder) {
    if (realFolder.empty() || !realPath.starts_with(realFolder)) return false;
    return realPath.size() == realFolder.size() || realFolder.back() == '/' || realPath[realFolder.size()] == '/';
}

ContainedFile ContainedFile::open(const std::string& path, const std::string& realFolder) {
    ContainedFile file;
    // O_PATH locates the file without opening it for reading: no read permission is
    // needed, a FIFO cannot block, a device is not touched.
    const int located = ::open(path.c_str(), O_PATH | O_CLOEXEC);
    if (located < 0) return file;
    struct stat checked {};
    // Without /proc the path is resolved by name; the identity check below then ties
    // what was resolved to the file that is read.
    std::optional<std::string> real = descriptorPath(located);
    if (!real) real = realPathOf(path);
    const bool locatedOk = ::fstat(located, &checked) == 0;
    ::close(located);
    if (!locatedOk || !real) return file;
    file.outcome_ = Outcome::refused;
    if (!liesInside(*real, realFolder)) {
        file.problem_ = path + ": leads to " + *real + ", outside " + realFolder;
        return file;
    }
    if (!S_ISREG(checked.st_mode)) {
        file.problem_ = path + ": not a regular file";
        return file;
    }
    // Opened by its real path, with no link at its end, and kept only when it is still
    // the file that was checked.
    const int fd = ::open(real->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW);
    if (fd < 0) {
        const int cause = errno;
        if (cause == ENOENT) {
            file.outcome_ = Outcome::missing;
        } else if (cause == EACCES || cause == EPERM) {
            file.outcome_ = Outcome::unreadable;
        } else {
            file.problem_ = path + ": changed while it was checked";
        }
        return file;
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || opened.st_dev != checked.st_dev || opened.st_ino != checked.st_ino) {
        ::close(fd);
        file.problem_ = path + ": changed while it was checked";
        return file;
    }
    file.outcome_ = Outcome::opened;
    file.fd_ = fd;
    file.size_ = static_cast<std::uint64_t>(opened.st_size);
    return file;
}

ContainedFile::ContainedFile(ContainedFile&& other) noexcept
    : outcome_(other.outcome_),
      fd_(std::exchange(other.fd_, -1)),
      size_(other.size_),
      problem_(std::move(other.problem_)) {}

ContainedFile& ContainedFile::operator=(ContainedFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        outcome_ = other.outcome_;
        fd_ = std::exchange(other.fd_, -1);
        size_ = other.size_;
        problem_ = std::move(other.problem_);
    }
    return *this;
}

ContainedFile::~ContainedFile() {
    if (fd_ >= 0) ::close(fd_);
}

int ContainedFile::release() { return std::exchange(fd_, -1); }

Bytes ContainedFile::readAll() const {
    Bytes data;
    if (fd_ < 0) return data;
    // Read to the end: a file that grew since it was opened is read whole.
    data.resize(static_cast<std::size_t>(size_));
    std::size_t done = 0;
    for (;;) {
        if (done == data.size()) data.resize(data.size() + 65536);
        const ssize_t n = ::pread(fd_, data.data() + done, data.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return {};
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    data.resize(done);
    return data;
}

}  // namespace tarvenox
