// DefineBits (code 6) and DefineBitsJPEG2 (code 21): JPEG data after the character id;
// DefineBitsJPEG3 (35) and DefineBitsJPEG4 (90): the same with an alpha channel after it
// (and, in DefineBitsJPEG4, a deblocking filter before it).
#pragma once

#include <cstdint>
#include <memory>

#include "swf/SWFImage.h"

namespace tarvenox {

class SWFJpegImage : public SWFImage {
public:
    SWFJpegImage(TagCode code, TagBody body) : SWFImage(code, std::move(body)) {}

    // A DefineBitsJPEG2 tag with the id that carries a JPEG file's bytes unchanged: id,
    // the marker bytes 0xFF 0xD9 0xFF 0xD8, the JPEG data, 0xFF 0xD9. The leading pair
    // of markers (an empty stream) is what players expect from DefineBitsJPEG2 tags
    // written by early Flash tools.
    static std::unique_ptr<SWFJpegImage> fromJpegData(std::uint16_t characterId, ByteSpan jpeg);

    // The size in the JPEG frame header, found on the first call; 0 x 0 when the data
    // holds no frame header (a PNG or GIF file in the tag, or broken data).
    std::uint16_t width() const override;
    std::uint16_t height() const override;

private:
    void scanSize() const;

    // Found by the first read of the size and kept: reading it changes nothing else.
    mutable std::int32_t width_ = 0;
    mutable std::int32_t height_ = 0;
};

}  // namespace tarvenox
