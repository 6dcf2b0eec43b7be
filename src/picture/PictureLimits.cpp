// The largest picture a movie can show.
#include "picture/PictureLimits.h"
#include "common/Texts.h"

namespace tarvenox {

bool pictureFits(std::uint64_t width, std::uint64_t height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

Report checkPictureSize(const std::string& path, std::uint64_t width, std::uint64_t height) {
    if (pictureFits(width, height)) return {};
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width == 0 || height == 0) {
        return Report::failure(text("picture.emptyReason", {path, size})).fail(text("picture.empty", {path, size}));
    }
    return Report::failure(text("picture.tooLargeReason", {path, size})).fail(text("picture.tooLarge", {path, size}));
}

}  // namespace tarvenox
