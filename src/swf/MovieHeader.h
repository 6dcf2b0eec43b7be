// The header of an SWF movie, kept verbatim: signature, version, file length, frame
// RECT, frame rate and frame count.
#pragma once

#include <cstdint>
#include <string>

#include "common/Bytes.h"
#include "swf/MovieText.h"
#include "swf/SWFCompression.h"
#include "swf/SWFRect.h"

namespace tarvenox {

class MovieHeader {
public:
    // No header: none could be read.
    MovieHeader() = default;
    // The header bytes as read.
    explicit MovieHeader(Bytes bytes) : bytes_(std::move(bytes)) {}
    // The header of a new uncompressed movie with the given version, frame RECT (twips),
    // frame rate (frames per second, kept to 1/256) and frame count; its file length is
    // set when it is written.
    MovieHeader(std::uint8_t version, SWFRect frame, double frameRate, std::uint16_t frameCount);

    bool empty() const { return bytes_.empty(); }
    ByteSpan bytes() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }

    std::string signature() const;
    // The form the signature names (uncompressed when it names none).
    SWFCompression compression() const;
    std::uint8_t version() const;
    // How the movie's strings are encoded, by its version.
    MovieTextEncoding textEncoding() const { return movieTextEncoding(version()); }
    std::uint32_t fileLengthField() const;
    SWFRect frameRect() const;
    double frameRate() const;
    std::uint16_t frameCount() const;

    // Sets the signature to the form's.
    void setCompression(SWFCompression compression);
    // The header bytes with the file length field set to length.
    Bytes withFileLength(std::uint64_t length) const;

    // The length of a header whose frame RECT has nBits bits per value.
    static std::size_t length(int nBits);

private:
    Bytes bytes_;
};

// Signature, version and file length come before the frame RECT.
inline constexpr std::size_t kFrameRectOffset = 8;

}  // namespace tarvenox
