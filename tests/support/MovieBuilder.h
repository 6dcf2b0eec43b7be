// Builds small SWF movies in memory for tests, byte by byte as the format lays them out.
#pragma once

#include <cstdint>
#include <string>

#include "common/Bytes.h"
#include "swf/SWFRect.h"

namespace tarvenox::test {

class MovieBuilder {
public:
    // An uncompressed movie of the given version with a frame RECT (twips).
    explicit MovieBuilder(std::uint8_t version = 6, SWFRect frame = {0, 11000, 0, 8000, 0});

    MovieBuilder& frameRate(std::uint8_t whole, std::uint8_t fraction = 0);
    MovieBuilder& frameCount(std::uint16_t count);
    // A tag record; longHeader forces the 6-byte record header even for short bodies.
    MovieBuilder& tag(int code, const Bytes& body, bool longHeader = false);
    MovieBuilder& background(std::uint8_t r, std::uint8_t g, std::uint8_t b);
    MovieBuilder& showFrame();
    // Bytes written after the End tag.
    MovieBuilder& trailer(const Bytes& bytes);

    // The movie with End tag and a correct file length field.
    Bytes build() const;
    // Writes build() to path.
    void writeTo(const std::string& path) const;

private:
    std::uint8_t version_;
    SWFRect frame_;
    std::uint8_t rateWhole_ = 12;
    std::uint8_t rateFraction_ = 0;
    std::uint16_t frameCount_ = 1;
    Bytes tags_;
    Bytes trailer_;
};

// The movie with its file length field (when it has one) set to length.
Bytes withFileLength(Bytes movie, std::uint32_t length);
// The movie's first n bytes with its file length field saying n: what a compiler that
// stops there writes (without its End tag, when n is where a record ends).
Bytes endedAt(const Bytes& movie, std::size_t n);

// A DefineShape body: shape shapeId with one fill style, a clipped bitmap fill of
// bitmapId scaled 20 times and moved 100 twips to the right, and no edges.
Bytes clippedBitmapShape(std::uint16_t shapeId, std::uint16_t bitmapId);

// Little-endian helpers for hand-built bodies.
Bytes le16(std::uint16_t v);
Bytes le32(std::uint32_t v);
Bytes operator+(Bytes a, const Bytes& b);
Bytes cstr(const std::string& text);  // the bytes and a NUL

}  // namespace tarvenox::test
