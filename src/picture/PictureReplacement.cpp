// Replacing a picture of a movie and keeping its size on the stage.
#include "picture/PictureReplacement.h"

#include <cmath>

#include "common/Log.h"
#include "picture/PictureFit.h"
#include "swf/SWFDefineShape.h"
#include "swf/SWFFile.h"
#include "swf/SWFImage.h"

namespace tarvenox {

namespace {

// The area the first shape that shows the bitmap covers with it, in stage pixels: the
// bitmap's size through the fill's matrix (twips, 20 to a pixel). nullopt when no
// shape shows it, or its size is not known.
std::optional<SlotArea> slotArea(SWFFile& movie, std::uint16_t characterId, std::uint16_t width, std::uint16_t height) {
    if (width == 0 || height == 0) return std::nullopt;
    for (auto& tag : movie.tags()) {
        auto* shape = dynamic_cast<SWFDefineShape*>(tag.get());
        if (shape == nullptr) continue;
        const auto styles = shape->styles();
        if (!styles) continue;
        for (const auto& fill : styles->fillStyles) {
            if (!fill.isBitmap() || fill.bitmapId != characterId) continue;
            const SWFMatrix& m = fill.bitmapMatrix;
            constexpr double kOne = 65536.0;
            const double scaleX = m.hasScale ? m.scaleX / kOne : 1.0;
            const double scaleY = m.hasScale ? m.scaleY / kOne : 1.0;
            const double skew0 = m.hasRotate ? m.rotateSkew0 / kOne : 0.0;
            const double skew1 = m.hasRotate ? m.rotateSkew1 / kOne : 0.0;
            // The lengths of the picture's edges, turned or not.
            return SlotArea{width * std::hypot(scaleX, skew0) / 20.0, height * std::hypot(skew1, scaleY) / 20.0};
        }
    }
    return std::nullopt;
}

}  // namespace

Report replacePicture(SWFFile& movie, const std::string& slotName, const std::string& path, PictureFit fit) {
    if (findImageSlot(movie, slotName) == nullptr) return {};
    return installPicture(movie, slotName, convertPicture(path), fit);
}

Report installPicture(SWFFile& movie, const std::string& slotName, Result<PictureConversion> conversion,
                      PictureFit fit) {
    auto slot = movie.findSlot<SWFImage>(slotName);
    if (slot == movie.tags().end()) return {};
    // A file that cannot be used, or one of another kind, leaves the old picture in place.
    if (!conversion) return std::move(conversion.report());
    std::unique_ptr<SWFImage> newImage = std::move(conversion->image);
    if (!newImage) return {};
    auto& oldImage = static_cast<SWFImage&>(**slot);
    const std::uint16_t characterId = oldImage.characterId();
    const std::uint16_t oldWidth = oldImage.width();
    const std::uint16_t oldHeight = oldImage.height();
    if (const auto area = slotArea(movie, characterId, oldWidth, oldHeight)) {
        if (auto fitted = fittedPicture(*newImage, *area, fit)) newImage = std::move(fitted);
    }
    newImage->setCharacterId(characterId);
    const std::uint16_t newWidth = newImage->width();
    const std::uint16_t newHeight = newImage->height();
    *slot = std::move(newImage);

    // The shape that shows the picture keeps showing it at its old size. Templates show
    // each picture through one shape, so the walk ends at the first shape that uses it;
    // a later shape with the same picture is left as it was.
    for (auto& tag : movie.tags()) {
        auto* shape = dynamic_cast<SWFDefineShape*>(tag.get());
        if (shape == nullptr) continue;
        logPrint("new size\n");
        if (shape->rescale(characterId, oldWidth, oldHeight, newWidth, newHeight)) break;
    }
    return {};
}

}  // namespace tarvenox
