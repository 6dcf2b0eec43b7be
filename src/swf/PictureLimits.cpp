// The largest picture a movie can show.
#include "swf/PictureLimits.h"

namespace tarvenox {

std::optional<PictureProblem> pictureSizeProblem(const std::string& path, std::uint64_t width,
                                                 std::uint64_t height) {
    if (width == 0 || height == 0) {
        return PictureProblem{"Das Bild " + path + " ist leer (" + std::to_string(width) + " x " +
                                  std::to_string(height) + " Pixel).",
                              path + ": the picture is empty (" + std::to_string(width) + " x " +
                                  std::to_string(height) + " pixels)"};
    }
    if (width <= kMaxPictureSide && height <= kMaxPictureSide &&
        width * height <= kMaxPicturePixels) {
        return std::nullopt;
    }
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    return PictureProblem{
        "Das Bild " + path + " ist zu groß: " + size +
            " Pixel. Ein Flash-Player zeigt höchstens 8191 Pixel je Seite und 16.777.215 "
            "Pixel insgesamt.",
        path + ": the picture is too large (" + size +
            " pixels); Flash players show at most 8191 pixels on a side and 16,777,215 pixels "
            "in all: scale it down"};
}

}  // namespace tarvenox
