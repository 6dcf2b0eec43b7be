// Replacing a picture of a movie and keeping its size on the stage.
#include "picture/PictureReplacement.h"

#include "common/Log.h"
#include "swf/SWFDefineShape.h"
#include "swf/SWFFile.h"
#include "swf/SWFImage.h"

namespace tarvenox {

Report replacePicture(SWFFile& movie, const std::string& slotName, const std::string& path) {
    if (findImageSlot(movie, slotName) == nullptr) return {};
    return installPicture(movie, slotName, convertPicture(path));
}

Report installPicture(SWFFile& movie, const std::string& slotName, Result<PictureConversion> conversion) {
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
