// Turning decoded pictures as a camera's orientation tag says.
#include "picture/PicturePixels.h"

#include <cstring>

namespace tarvenox {

bool orientationSwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

PicturePixels orientedPixels(PicturePixels pixels, int orientation) {
    if (orientation < 2 || orientation > 8) return pixels;
    const std::size_t w = pixels.width;
    const std::size_t h = pixels.height;
    const bool swaps = orientationSwapsSides(orientation);
    PicturePixels out{static_cast<std::uint32_t>(swaps ? h : w), static_cast<std::uint32_t>(swaps ? w : h),
                      pixels.channels, pixels.premultiplied, Bytes(pixels.samples.size())};
    const auto channels = static_cast<std::size_t>(pixels.channels);
    // For each pixel of the result, the stored pixel it shows.
    for (std::size_t y = 0; y < out.height; ++y) {
        std::uint8_t* row = out.samples.data() + y * out.rowBytes();
        for (std::size_t x = 0; x < out.width; ++x) {
            std::size_t sx = x;
            std::size_t sy = y;
            switch (orientation) {
                case 2: sx = w - 1 - x; break;                  // mirrored left to right
                case 3: sx = w - 1 - x, sy = h - 1 - y; break;  // upside down
                case 4: sy = h - 1 - y; break;                  // mirrored top to bottom
                case 5: sx = y, sy = x; break;                  // transposed
                case 6: sx = y, sy = h - 1 - x; break;          // turned a quarter clockwise
                case 7: sx = w - 1 - y, sy = h - 1 - x; break;  // transversed
                case 8: sx = w - 1 - y, sy = x; break;          // turned a quarter anticlockwise
            }
            std::memcpy(row + x * channels, pixels.samples.data() + (sy * w + sx) * channels, channels);
        }
    }
    return out;
}

}  // namespace tarvenox
