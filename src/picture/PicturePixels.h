// Decoded pictures as rows of 8-bit samples, and turning them as a camera's
// orientation tag says.
#pragma once

#include <cstdint>

#include "common/Bytes.h"

namespace tarvenox {

// width x height pixels of `channels` samples, row by row without padding: 1 grey,
// 3 red, green, blue, 4 the same and alpha. With alpha, premultiplied says whether the
// colours are already multiplied by it (as DefineBitsLossless2 stores them).
struct PicturePixels {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int channels = 3;
    bool premultiplied = false;
    Bytes samples;

    std::size_t rowBytes() const { return std::size_t{width} * static_cast<std::size_t>(channels); }
};

// Whether an Exif orientation (1 to 8) swaps width and height: 5 to 8 turn the picture
// a quarter.
bool orientationSwapsSides(int orientation);

// The picture as it is meant to be seen: the Exif orientation (TIFF tag 274) says how
// the stored rows are turned or mirrored. 1, and any value outside 1 to 8, leaves it as
// it is.
PicturePixels orientedPixels(PicturePixels pixels, int orientation);

}  // namespace tarvenox
