// DefineBits (code 6) and DefineBitsJPEG2 (code 21): JPEG data after the character id.
#pragma once

#include <cstdint>

#include "swf/SWFImage.h"

namespace tarvenox {

class SWFJpegImage : public SWFImage {
public:
    SWFJpegImage(int code, Bytes body) : SWFImage(code, std::move(body)) {}

    // The size in the JPEG frame header, found on the first call; 0 x 0 when the data
    // holds no frame header.
    std::uint16_t width() override;
    std::uint16_t height() override;

private:
    void scanSize();

    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
};

}  // namespace tarvenox
