// DefineBitsLossless (code 20) and DefineBitsLossless2 (code 36): zlib-compressed pixels.
#pragma once

#include <memory>
#include <string>

#include "swf/SWFImage.h"

namespace tarvenox {

class SWFLosslessImage : public SWFImage {
public:
    SWFLosslessImage(TagCode code, TagBody body) : SWFImage(code, std::move(body)) {}

    // BitmapFormat (body byte 2): 3 palette, 4 15-bit, 5 32-bit. 0 when the body is short.
    std::uint8_t bitmapFormat() const;
    // Body bytes 3-4 and 5-6; 0 when the body is shorter.
    std::uint16_t width() const override;
    std::uint16_t height() const override;
};

}  // namespace tarvenox
