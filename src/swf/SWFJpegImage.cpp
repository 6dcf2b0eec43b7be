// DefineBits and DefineBitsJPEG2.
#include "swf/SWFJpegImage.h"

namespace tarvenox {

std::uint16_t SWFJpegImage::width() {
    if (width_ == 0 && height_ == 0) scanSize();
    return static_cast<std::uint16_t>(width_);
}

std::uint16_t SWFJpegImage::height() {
    if (width_ == 0 && height_ == 0) scanSize();
    return static_cast<std::uint16_t>(height_);
}

// Walks the JPEG segments for the first start-of-frame marker (0xC0 to 0xC5) and
// takes the size from its frame header. The walk starts at body byte 10: in a body
// made from a file that is inside the segment after the start-of-image marker, so the
// search looks for the next 0xFF rather than trusting that segment's length. Every
// step is bounded by the body: data that ends first leaves the size 0 x 0.
void SWFJpegImage::scanSize() {
    ByteSpan b = body();
    std::size_t p = 10;
    while (p < b.size()) {
        while (p < b.size() && b[p] != 0xFF) ++p;
        while (p < b.size() && b[p] == 0xFF) ++p;
        if (p >= b.size()) return;
        const std::uint8_t marker = b[p];
        if (marker >= 0xC0 && marker <= 0xC5) {
            if (p + 7 >= b.size()) return;
            height_ = b[p + 4] * 256 + b[p + 5];
            width_ = b[p + 6] * 256 + b[p + 7];
            return;
        }
        if (p + 2 >= b.size()) return;
        const std::size_t segmentLength = b[p + 1] * 256u + b[p + 2];
        p += segmentLength + 1;
    }
}

}  // namespace tarvenox
