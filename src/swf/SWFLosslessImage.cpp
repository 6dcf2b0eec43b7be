// DefineBitsLossless and DefineBitsLossless2.
#include "swf/SWFLosslessImage.h"

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "swf/PngImage.h"

namespace tarvenox {

std::unique_ptr<SWFLosslessImage> SWFLosslessImage::fromPng(std::uint16_t characterId,
                                                           const PngImage& image) {
    Bytes body = image.buildLosslessBody();
    if (body.size() < 2) return nullptr;
    body[0] = static_cast<std::uint8_t>(characterId & 0xFF);
    body[1] = static_cast<std::uint8_t>(characterId >> 8);
    const TagCode code = image.usesAlpha() ? TagCode::DefineBitsLossless2 : TagCode::DefineBitsLossless;
    return std::make_unique<SWFLosslessImage>(code, std::move(body));
}

std::uint8_t SWFLosslessImage::bitmapFormat() const { return body().size() >= 3 ? body()[2] : 0; }

std::uint16_t SWFLosslessImage::width() const { return body().size() >= 5 ? peekUI16(body(), 3) : 0; }

std::uint16_t SWFLosslessImage::height() const { return body().size() >= 7 ? peekUI16(body(), 5) : 0; }

}  // namespace tarvenox
