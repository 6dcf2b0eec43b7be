// Whole-file reading and replace-by-rename writing.
#include "common/FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tarvenox {

namespace {

void setError(std::string* error, const std::string& path, const std::string& what) {
    if (error != nullptr) *error = path + ": " + what;
}

std::string errnoText() { return std::strerror(errno); }

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

}  // namespace

std::optional<Bytes> readFileBytes(const std::string& path, std::string* error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        setError(error, path, "cannot open: " + errnoText());
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        setError(error, path, "not a regular file");
        ::close(fd);
        return std::nullopt;
    }
    Bytes data;
    data.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t chunk[65536];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            setError(error, path, "read error: " + errnoText());
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        data.insert(data.end(), chunk, chunk + n);
    }
    ::close(fd);
    return data;
}

bool writeFileAtomically(const std::string& path, ByteSpan bytes, std::string* error) {
    std::string temp = path + ".tmpXXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        setError(error, path, "cannot create a temporary file beside it: " + errnoText());
        return false;
    }
    // mkstemp creates 0600; a result the user saves should get the usual mode.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    std::string cause = ok ? "" : "write error: " + errnoText();
    if (::close(fd) != 0 && ok) {
        ok = false;
        cause = "write error: " + errnoText();
    }
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        cause = "cannot replace the file: " + errnoText();
    }
    if (!ok) {
        ::unlink(temp.c_str());
        setError(error, path, cause);
    }
    return ok;
}

}  // namespace tarvenox
