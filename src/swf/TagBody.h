// The body of a tag: bytes of its own, or the part of the movie it was read from, read
// when first used and, while unchanged, written straight from there.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>

#include "common/ByteChain.h"
#include "common/ByteSource.h"
#include "common/Bytes.h"
#include "swf/TagCode.h"

namespace tarvenox {

class TagBody {
public:
    TagBody() = default;
    // Bytes of its own: a body built or changed by the program. Implicit, as every body
    // the program builds is handed over as Bytes.
    TagBody(Bytes bytes);
    TagBody(std::initializer_list<std::uint8_t> bytes) : TagBody(Bytes(bytes)) {}
    // length bytes at offset of source, after the record header of headerLength bytes
    // that gave them tag code `code`. read holds them when the reader had them at hand
    // (small bodies); otherwise they are read on first use. A body is used by one thread
    // at a time.
    TagBody(std::shared_ptr<const ByteSource> source, TagCode code, std::uint64_t offset, std::uint32_t length,
            std::uint8_t headerLength, Bytes read = {});

    ByteSpan bytes() const;
    // The bytes to change in place: a body read from a source becomes a body of its own
    // first.
    Bytes& own();
    std::uint32_t size() const { return source_ ? length_ : static_cast<std::uint32_t>(bytes_.size()); }

    // The record of a tag of this code with this body: the record header (2 bytes for a
    // body below 63 bytes, else 6), then the body. A body read from a source, under the
    // same header as written, is taken from there with its header.
    void appendRecord(TagCode code, ByteChain& out) const;
    void appendRecord(TagCode code, Bytes& out) const;

private:
    std::shared_ptr<const ByteSource> source_;
    TagCode sourceCode_ = TagCode::End;
    std::uint64_t offset_ = 0;
    std::uint32_t length_ = 0;
    std::uint8_t headerLength_ = 0;
    mutable Bytes bytes_;
    mutable bool loaded_ = true;
};

}  // namespace tarvenox
