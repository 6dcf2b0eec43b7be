// Bytes to be written one after another without first being joined in one buffer: bytes
// of the chain's own, bytes that live elsewhere, and ranges of open files that the
// kernel copies without them passing through the program.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/ByteSource.h"
#include "common/Bytes.h"
#include "common/Report.h"

namespace tarvenox {

class ByteChain {
public:
    ByteChain() = default;
    ByteChain(ByteChain&&) = default;
    ByteChain& operator=(ByteChain&&) = default;
    // The chain's own copy of bytes.
    explicit ByteChain(Bytes bytes);

    // Bytes copied into the chain.
    void appendCopy(ByteSpan bytes);
    // Bytes that stay where they are: they must outlive the chain, unchanged.
    void appendView(ByteSpan bytes);
    // length bytes of source from offset (read from memory when the source is in memory).
    // Ranges that continue one another are joined.
    void appendRange(const std::shared_ptr<const ByteSource>& source, std::uint64_t offset, std::uint64_t length);

    std::uint64_t size() const { return size_; }
    // Writes the bytes to fd in order: bytes in memory by writev, ranges of files by
    // copy_file_range, or read and written where the kernel cannot copy between the two
    // (to a pipe, across some file systems). When startWriteBack is set (fd is a regular
    // file to be synced), the kernel is asked to start writing each 8 MiB out to disk as
    // soon as it is written, so that the final fsync has little left to wait for. A
    // failed write's reason is errno's text, or that a file the bytes come from was cut
    // short meanwhile.
    Report writeTo(int fd, bool startWriteBack) const;
    // The bytes in one buffer; a range of a file cut short meanwhile comes out as zeros.
    Bytes flatten() const;

private:
    struct Piece {
        const std::uint8_t* data = nullptr;  // bytes in memory, or
        const ByteSource* file = nullptr;    // a range of an open file
        std::uint64_t offset = 0;
        std::uint64_t length = 0;
    };
    void appendPiece(const Piece& piece);

    std::vector<Piece> pieces_;
    // The chain's own bytes, in blocks that never move once written.
    std::vector<std::unique_ptr<Bytes>> own_;
    std::vector<std::shared_ptr<const ByteSource>> sources_;
    std::uint64_t size_ = 0;
};

}  // namespace tarvenox
