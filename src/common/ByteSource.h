// The bytes a document was read from: an open file, read piece by piece as they are
// needed, or a buffer in memory. Parts of a document that do not change are written
// straight from here (ByteChain), without a copy of their own.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "common/Bytes.h"
#include "common/Result.h"

namespace tarvenox {

class ByteSource {
public:
    // The regular file at path, opened without blocking as readFileBytes opens it, with
    // its size as it is now; refused as readFileBytes refuses it.
    static Result<std::shared_ptr<ByteSource>> openFile(const std::string& path);
    static std::shared_ptr<ByteSource> inMemory(Bytes bytes);
    ~ByteSource();
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;

    std::uint64_t size() const { return size_; }
    // The open file, or -1 for a source in memory.
    int fd() const { return fd_; }
    // length bytes at offset when the source is in memory, else nullopt.
    std::optional<ByteSpan> view(std::uint64_t offset, std::size_t length) const;
    // Fills out from offset. False, and the source marked as changed, when the file no
    // longer holds those bytes (it was cut short meanwhile) or cannot be read; out is then
    // zero-filled, so that whoever asked sees bytes of the length asked for.
    bool readAt(std::uint64_t offset, std::span<std::uint8_t> out) const;
    // True once a read found the file shorter than it was, or failed: what was read from
    // it can no longer be trusted.
    bool changed() const { return changed_; }
    // Marks the source as changed, for a writer that finds it shorter.
    void markChanged() const { changed_ = true; }

private:
    ByteSource() = default;

    int fd_ = -1;
    std::uint64_t size_ = 0;
    Bytes memory_;
    mutable std::atomic<bool> changed_{false};
};

}  // namespace tarvenox
