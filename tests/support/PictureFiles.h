// Encodes PNG and JPEG pictures in memory for tests, with libpng and libjpeg.
#pragma once

#include <cstdint>
#include <vector>

#include "common/Bytes.h"

namespace tarvenox::test {

struct PngPicture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int colorType = 0;  // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    // Samples row by row as the PNG stores them (packed for depths below 8, big-endian
    // for 16): rows.size() == height.
    std::vector<Bytes> rows{};
    Bytes palette{};       // red, green, blue per entry
    Bytes paletteAlpha{};  // tRNS of a palette picture
    // tRNS of a greyscale (grey in the first value) or truecolour picture.
    std::vector<std::uint16_t> transparentColor{};
    bool interlaced = false;
};

Bytes encodePng(const PngPicture& picture);

// A JPEG of the given size and number of components (1 grey, 3 RGB, 4 CMYK), baseline
// or progressive. Pixels follow a simple gradient.
Bytes encodeJpeg(int width, int height, bool progressive, int components = 3);
// A baseline JPEG of the given RGB samples (width * height * 3 bytes, row by row).
Bytes encodeJpegRgb(int width, int height, const Bytes& rgb, int quality = 85);

// The zlib stream from offset of data, inflated; empty when it is not a whole stream.
Bytes inflate(ByteSpan data, std::size_t offset, std::size_t expectedSize);

}  // namespace tarvenox::test
