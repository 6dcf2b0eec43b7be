// A tag of an SWF movie: its code and its finished body.
#pragma once

#include <cstdint>

#include "common/ByteChain.h"
#include "common/Bytes.h"
#include "swf/TagBody.h"
#include "swf/TagCode.h"

namespace tarvenox {

// Every tag keeps its content as the finished binary body; a subclass that changes its
// content builds a new body and installs it with setData. The record header is derived
// from the body when the tag is written. A body read from a movie stays where it was
// read until it is changed (TagBody).
class SWFTag {
public:
    SWFTag() = default;
    SWFTag(TagCode code, TagBody body) : code_(code), body_(std::move(body)) {}
    virtual ~SWFTag() = default;

    SWFTag(const SWFTag&) = delete;
    SWFTag& operator=(const SWFTag&) = delete;

    void setData(Bytes body) { body_ = std::move(body); }

    // The record header (2 bytes for a body below 63 bytes, else 6) plus the body.
    std::uint32_t outputSize() const;

    // Appends the record header and the body.
    void writeTo(Bytes& out) const;
    // The same, an unchanged body from where it was read: the chain refers to the tag's
    // bytes, which must not change or go before the chain is written.
    void appendTo(ByteChain& out) const;

    TagCode code() const { return code_; }
    std::uint32_t length() const { return body_.size(); }
    ByteSpan body() const { return body_.bytes(); }

    // Body bytes 0-1, little-endian: the character id of every defining tag. 0 when the
    // body is shorter.
    std::uint16_t characterId() const;
    // Sets body bytes 0-1 (nothing when the body is shorter): a tag made on its own, such
    // as a converted picture, gets the id of the character it replaces.
    void setCharacterId(std::uint16_t id);

protected:
    void setCode(TagCode code) { code_ = code; }

private:
    TagCode code_ = TagCode::End;
    TagBody body_;
};

}  // namespace tarvenox
