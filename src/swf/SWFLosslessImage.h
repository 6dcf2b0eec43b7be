// DefineBitsLossless (code 20) and DefineBitsLossless2 (code 36): zlib-compressed pixels.
#pragma once

#include <memory>
#include <string>

#include "swf/SWFImage.h"

namespace tarvenox {

class PngImage;

class SWFLosslessImage : public SWFImage {
public:
    SWFLosslessImage(TagCode code, TagBody body) : SWFImage(code, std::move(body)) {}

    // A bitmap tag with the id made from a decoded PNG picture: code 36 when the picture
    // uses alpha, else 20. nullptr when it yields no body.
    static std::unique_ptr<SWFLosslessImage> fromPng(std::uint16_t characterId, const PngImage& image);

    // BitmapFormat (body byte 2): 3 palette, 4 15-bit, 5 32-bit. 0 when the body is short.
    std::uint8_t bitmapFormat() const;
    // Body bytes 3-4 and 5-6; 0 when the body is shorter.
    std::uint16_t width() const override;
    std::uint16_t height() const override;
};

}  // namespace tarvenox
