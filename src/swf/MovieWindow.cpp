// The bytes of a movie, looked at front to back.
#include "swf/MovieWindow.h"

#include <algorithm>

namespace tarvenox {

namespace {

// A file window's least size: a record header and a small body in one read.
constexpr std::size_t kFileWindow = 4096;
// Compressed data is read, and skipped data inflated, this much at a time.
constexpr std::size_t kStep = 64 * 1024;

}  // namespace

ByteSpan SourceWindow::peek(std::uint64_t offset, std::size_t n) {
    if (offset >= source_.size()) return {};
    n = static_cast<std::size_t>(std::min<std::uint64_t>(n, source_.size() - offset));
    if (auto bytes = source_.view(offset, n)) return *bytes;
    if (offset < start_ || offset + n > start_ + window_.size()) {
        start_ = offset;
        window_.resize(
            static_cast<std::size_t>(std::min<std::uint64_t>(std::max(n, kFileWindow), source_.size() - offset)));
        source_.readAt(offset, window_);
    }
    return ByteSpan(window_).subspan(static_cast<std::size_t>(offset - start_), n);
}

InflatingWindow::InflatingWindow(const ByteSource& file, MovieInflater& inflater)
    : file_(file), inflater_(inflater), inputOffset_(inflater.dataOffset()), buffer_(kSWFPrefixSize) {
    file_.readAt(0, buffer_);
}

std::size_t InflatingWindow::pull(std::span<std::uint8_t> out) {
    std::size_t written = 0;
    while (written < out.size() && !inflater_.done()) {
        if (pending_.empty() && inputOffset_ < file_.size()) {
            input_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kStep, file_.size() - inputOffset_)));
            file_.readAt(inputOffset_, input_);
            inputOffset_ += input_.size();
            pending_ = input_;
        }
        written += inflater_.inflate(pending_, inputOffset_ >= file_.size(), out.subspan(written));
    }
    return written;
}

ByteSpan InflatingWindow::peek(std::uint64_t offset, std::size_t n) {
    const std::uint64_t end = start_ + buffer_.size();
    if (offset >= end) {
        // Everything up to offset is inflated and dropped.
        buffer_.clear();
        Bytes scratch(static_cast<std::size_t>(std::min<std::uint64_t>(kStep, offset - end)));
        for (std::uint64_t left = offset - end; left > 0 && !inflater_.done();) {
            left -= pull({scratch.data(), static_cast<std::size_t>(std::min<std::uint64_t>(left, scratch.size()))});
        }
    } else {
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(offset - start_));
    }
    start_ = offset;
    if (buffer_.size() < n) {
        const std::size_t had = buffer_.size();
        buffer_.resize(n);
        buffer_.resize(had + pull({buffer_.data() + had, n - had}));
    }
    return ByteSpan(buffer_).first(std::min(n, buffer_.size()));
}

Report InflatingWindow::finish() {
    Bytes scratch(kStep);
    while (!inflater_.done()) pull(scratch);
    return inflater_.verdict();
}

}  // namespace tarvenox
