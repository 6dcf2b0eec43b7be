// The bytes a document was read from.
#include "common/ByteSource.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "common/FileIO.h"

namespace tarvenox {

Result<std::shared_ptr<ByteSource>> ByteSource::openFile(const std::string& path) {
    Result<OpenedFile> opened = openRegularFile(path);
    if (!opened) return opened.report();
    std::shared_ptr<ByteSource> source(new ByteSource);
    source->fd_ = opened->fd;
    source->size_ = opened->size;
    return source;
}

std::shared_ptr<ByteSource> ByteSource::inMemory(Bytes bytes) {
    std::shared_ptr<ByteSource> source(new ByteSource);
    source->size_ = bytes.size();
    source->memory_ = std::move(bytes);
    return source;
}

ByteSource::~ByteSource() {
    if (fd_ >= 0) ::close(fd_);
}

std::optional<ByteSpan> ByteSource::view(std::uint64_t offset, std::size_t length) const {
    if (fd_ >= 0 || offset > size_ || length > size_ - offset) return std::nullopt;
    return ByteSpan(memory_).subspan(static_cast<std::size_t>(offset), length);
}

bool ByteSource::readAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
    if (auto bytes = view(offset, out.size())) {
        std::copy(bytes->begin(), bytes->end(), out.begin());
        return true;
    }
    std::size_t done = 0;
    while (fd_ >= 0 && done < out.size()) {
        const ssize_t n = ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    if (done == out.size()) return true;
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(done), out.end(), 0);
    changed_ = true;
    return false;
}

}  // namespace tarvenox
