// The body of a tag.
#include "swf/TagBody.h"

#include "common/ByteWriter.h"

namespace tarvenox {

namespace {
// Bodies shorter than this fit the 6-bit length of the short record header; the value
// itself marks the long form, whose 32-bit length follows.
constexpr std::uint32_t kLongLengthMark = 63;
}  // namespace

TagBody::TagBody(Bytes bytes) : bytes_(std::move(bytes)) {}

TagBody::TagBody(std::shared_ptr<const ByteSource> source, int code, std::uint64_t offset, std::uint32_t length,
                 std::uint8_t headerLength, Bytes read)
    : source_(std::move(source)),
      sourceCode_(code),
      offset_(offset),
      length_(length),
      headerLength_(headerLength),
      bytes_(std::move(read)),
      loaded_(bytes_.size() == length) {}

ByteSpan TagBody::bytes() const {
    if (!source_) return bytes_;
    if (auto view = source_->view(offset_, length_)) return *view;
    if (!loaded_) {
        bytes_.resize(length_);
        source_->readAt(offset_, bytes_);
        loaded_ = true;
    }
    return bytes_;
}

Bytes& TagBody::own() {
    if (source_) {
        const ByteSpan read = bytes();
        Bytes copy(read.begin(), read.end());
        *this = TagBody(std::move(copy));
    }
    return bytes_;
}

std::uint8_t TagBody::headerLength(std::uint32_t length) { return length < kLongLengthMark ? 2 : 6; }

void TagBody::appendHeader(int code, Bytes& out) const {
    const std::uint32_t base = static_cast<std::uint32_t>(code) << 6;
    if (size() < kLongLengthMark) {
        writeUI16(out, base | size());
    } else {
        writeUI16(out, base | kLongLengthMark);
        writeUI32(out, size());
    }
}

void TagBody::appendRecord(int code, ByteChain& out) const {
    if (source_ && code == sourceCode_ && headerLength_ == headerLength(length_)) {
        out.appendRange(source_, offset_ - headerLength_, std::uint64_t{headerLength_} + length_);
        return;
    }
    Bytes header;
    appendHeader(code, header);
    out.appendCopy(header);
    if (source_) {
        out.appendRange(source_, offset_, length_);
    } else {
        out.appendView(bytes_);
    }
}

void TagBody::appendRecord(int code, Bytes& out) const {
    appendHeader(code, out);
    const ByteSpan body = bytes();
    out.insert(out.end(), body.begin(), body.end());
}

}  // namespace tarvenox
