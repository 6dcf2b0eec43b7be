// The body of a tag.
#include "swf/TagBody.h"

#include "swf/RecordHeader.h"

namespace tarvenox {

TagBody::TagBody(Bytes bytes) : bytes_(std::move(bytes)) {}

TagBody::TagBody(std::shared_ptr<const ByteSource> source, TagCode code, std::uint64_t offset, std::uint32_t length,
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

void TagBody::appendRecord(TagCode code, ByteChain& out) const {
    if (source_ && code == sourceCode_ && headerLength_ == recordHeaderSize(length_)) {
        out.appendRange(source_, offset_ - headerLength_, std::uint64_t{headerLength_} + length_);
        return;
    }
    Bytes header;
    writeRecordHeader(header, code, size());
    out.appendCopy(header);
    if (source_) {
        out.appendRange(source_, offset_, length_);
    } else {
        out.appendView(bytes_);
    }
}

void TagBody::appendRecord(TagCode code, Bytes& out) const {
    writeRecordHeader(out, code, size());
    const ByteSpan body = bytes();
    out.insert(out.end(), body.begin(), body.end());
}

}  // namespace tarvenox
