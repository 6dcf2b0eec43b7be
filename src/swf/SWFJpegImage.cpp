// DefineBits, DefineBitsJPEG2, DefineBitsJPEG3 and DefineBitsJPEG4.
#include "swf/SWFJpegImage.h"

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "swf/JpegFrame.h"

namespace tarvenox {

std::unique_ptr<SWFJpegImage> SWFJpegImage::fromJpegData(std::uint16_t characterId, ByteSpan jpeg) {
    Bytes body;
    body.reserve(jpeg.size() + 8);
    writeUI16(body, characterId);
    body.insert(body.end(), {0xFF, 0xD9, 0xFF, 0xD8});
    body.insert(body.end(), jpeg.begin(), jpeg.end());
    body.insert(body.end(), {0xFF, 0xD9});
    return std::make_unique<SWFJpegImage>(TagCode::DefineBitsJPEG2, std::move(body));
}

std::uint16_t SWFJpegImage::width() const {
    if (width_ == 0 && height_ == 0) scanSize();
    return static_cast<std::uint16_t>(width_);
}

std::uint16_t SWFJpegImage::height() const {
    if (width_ == 0 && height_ == 0) scanSize();
    return static_cast<std::uint16_t>(height_);
}

// The JPEG data starts after the character id, in DefineBitsJPEG3 and 4 after the
// alpha channel's offset (and the deblocking filter) too, and ends where the alpha
// channel starts. Walking it marker by marker, rather than searching it byte by byte,
// keeps the size of a thumbnail inside an Exif segment from being taken for the
// picture's.
void SWFJpegImage::scanSize() const {
    ByteSpan data = body();
    std::size_t start = 2;
    if (code() == TagCode::DefineBitsJPEG3 || code() == TagCode::DefineBitsJPEG4) {
        ByteReader reader(data);
        reader.skip(2);
        const std::uint32_t alphaOffset = reader.readU32LE();
        start = code() == TagCode::DefineBitsJPEG4 ? 8 : 6;
        if (reader.overrun() || start > data.size() || alphaOffset > data.size() - start) return;
        data = data.first(start + alphaOffset);
    }
    if (auto frame = findJpegFrame(data, start)) {
        width_ = frame->width;
        height_ = frame->height;
    }
}

}  // namespace tarvenox
