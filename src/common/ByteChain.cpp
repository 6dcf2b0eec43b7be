// Bytes written one after another from where they lie.
#include "common/ByteChain.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "common/FileIO.h"
#include "common/SystemReason.h"
#include "common/Texts.h"

namespace tarvenox {

namespace {

// Small pieces share blocks of this size.
constexpr std::size_t kOwnBlock = 64 * 1024;
// Write-back is started for every this many bytes written, and the kernel copies at most
// this much per call.
constexpr std::uint64_t kWriteBackStep = 8u << 20;
constexpr std::size_t kCopyBuffer = 1u << 20;

bool kernelCannotCopy(int error) {
    // Another file system, a pipe or a terminal, an old kernel, an output opened for
    // appending: the bytes are read and written instead.
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == EBADF ||
           error == ETXTBSY || error == EPERM;
}

// Writes the bytes of a ByteChain to one descriptor and starts their write-back.
class ChainWriter {
public:
    ChainWriter(int fd, bool startWriteBack) : fd_(fd), startWriteBack_(startWriteBack) {}

    // Why the last call that returned false failed.
    const std::string& cause() const { return cause_; }

    bool addMemory(const std::uint8_t* data, std::uint64_t length) {
        batch_.push_back({const_cast<std::uint8_t*>(data), static_cast<std::size_t>(length)});
        return batch_.size() < IOV_MAX || flush();
    }

    bool flush() {
        std::size_t first = 0;
        while (first < batch_.size()) {
            const int count = static_cast<int>(std::min<std::size_t>(batch_.size() - first, IOV_MAX));
            const ssize_t n = ::writev(fd_, &batch_[first], count);
            if (n < 0) {
                if (errno == EINTR) continue;
                return fail(systemReason(errno));
            }
            progress(static_cast<std::uint64_t>(n));
            // Drops what was written: whole entries, then the front of a partial one.
            std::size_t left = static_cast<std::size_t>(n);
            while (first < batch_.size() && left >= batch_[first].iov_len) left -= batch_[first++].iov_len;
            if (left > 0) {
                batch_[first].iov_base = static_cast<std::uint8_t*>(batch_[first].iov_base) + left;
                batch_[first].iov_len -= left;
            }
        }
        batch_.clear();
        return true;
    }

    bool addRange(const ByteSource& file, std::uint64_t offset, std::uint64_t length) {
        if (!flush()) return false;
        loff_t in = static_cast<loff_t>(offset);
        while (length > 0) {
            const std::size_t step = static_cast<std::size_t>(std::min(length, kWriteBackStep));
            if (kernelCopy_) {
                const ssize_t n = ::copy_file_range(file.fd(), &in, fd_, nullptr, step, 0);
                if (n > 0) {
                    length -= static_cast<std::uint64_t>(n);
                    progress(static_cast<std::uint64_t>(n));
                    continue;
                }
                if (n == 0) return cutShort(file);
                if (errno == EINTR) continue;
                if (!kernelCannotCopy(errno)) return fail(systemReason(errno));
                kernelCopy_ = false;
            }
            if (!buffer_) buffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(kCopyBuffer);
            const std::size_t chunk = std::min(step, kCopyBuffer);
            if (!file.readAt(static_cast<std::uint64_t>(in), {buffer_.get(), chunk})) return cutShort(file);
            if (!writeAll(fd_, {buffer_.get(), chunk})) return fail(systemReason(errno));
            in += static_cast<loff_t>(chunk);
            length -= chunk;
            progress(chunk);
        }
        return true;
    }

private:
    void progress(std::uint64_t n) {
        written_ += n;
        if (startWriteBack_ && written_ - started_ >= kWriteBackStep) {
            ::sync_file_range(fd_, static_cast<off_t>(started_), static_cast<off_t>(written_ - started_),
                              SYNC_FILE_RANGE_WRITE);
            started_ = written_;
        }
    }
    bool fail(const std::string& cause) {
        cause_ = cause;
        return false;
    }
    bool cutShort(const ByteSource& file) {
        file.markChanged();
        return fail(text("file.cutShortMeanwhile"));
    }

    int fd_;
    bool startWriteBack_;
    std::string cause_;
    std::vector<iovec> batch_;
    bool kernelCopy_ = true;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::uint64_t written_ = 0;
    std::uint64_t started_ = 0;
};

}  // namespace

ByteChain::ByteChain(Bytes bytes) {
    own_.push_back(std::make_unique<Bytes>(std::move(bytes)));
    appendPiece({own_.back()->data(), nullptr, 0, own_.back()->size()});
}

void ByteChain::appendCopy(ByteSpan bytes) {
    if (bytes.empty()) return;
    if (own_.empty() || own_.back()->capacity() - own_.back()->size() < bytes.size()) {
        own_.push_back(std::make_unique<Bytes>());
        own_.back()->reserve(std::max(kOwnBlock, bytes.size()));
    }
    Bytes& block = *own_.back();
    const std::size_t at = block.size();
    block.insert(block.end(), bytes.begin(), bytes.end());
    appendPiece({block.data() + at, nullptr, 0, bytes.size()});
}

void ByteChain::appendView(ByteSpan bytes) {
    if (!bytes.empty()) appendPiece({bytes.data(), nullptr, 0, bytes.size()});
}

void ByteChain::appendRange(const std::shared_ptr<const ByteSource>& source, std::uint64_t offset,
                            std::uint64_t length) {
    if (length == 0) return;
    if (sources_.empty() || sources_.back() != source) sources_.push_back(source);
    if (auto bytes = source->view(offset, static_cast<std::size_t>(length))) {
        appendView(*bytes);
    } else {
        appendPiece({nullptr, source.get(), offset, length});
    }
}

void ByteChain::appendPiece(const Piece& piece) {
    size_ += piece.length;
    if (!pieces_.empty()) {
        Piece& last = pieces_.back();
        const bool joinsMemory = piece.data != nullptr && last.data != nullptr && last.data + last.length == piece.data;
        const bool joinsFile =
            piece.file != nullptr && last.file == piece.file && last.offset + last.length == piece.offset;
        if (joinsMemory || joinsFile) {
            last.length += piece.length;
            return;
        }
    }
    pieces_.push_back(piece);
}

Report ByteChain::writeTo(int fd, bool startWriteBack) const {
    ChainWriter writer(fd, startWriteBack);
    for (const Piece& piece : pieces_) {
        const bool ok = piece.data != nullptr ? writer.addMemory(piece.data, piece.length)
                                              : writer.addRange(*piece.file, piece.offset, piece.length);
        if (!ok) return Report::failure(writer.cause());
    }
    if (!writer.flush()) return Report::failure(writer.cause());
    return {};
}

Bytes ByteChain::flatten() const {
    Bytes out(static_cast<std::size_t>(size_));
    std::size_t at = 0;
    for (const Piece& piece : pieces_) {
        const std::span<std::uint8_t> to(out.data() + at, static_cast<std::size_t>(piece.length));
        if (piece.data != nullptr) {
            std::copy_n(piece.data, to.size(), to.begin());
        } else {
            piece.file->readAt(piece.offset, to);
        }
        at += to.size();
    }
    return out;
}

}  // namespace tarvenox
