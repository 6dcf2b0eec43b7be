// Replacing a picture of a movie and keeping its size on the stage.

#include "common/Log.h"
#include "swf/PictureFile.h"
#include "swf/SWFDefineShape.h"
#include "swf/SWFFile.h"

namespace tarvenox {

SWFImage* findExportedImage(SWFFile& movie, const std::string& exportName) {
    auto slot = movie.findExported<SWFImage>(exportName);
    return slot == movie.tags().end() ? nullptr : static_cast<SWFImage*>(slot->get());
}

Report SWFFile::replacePicture(const std::string& exportName, const std::string& path) {
    if (findExported<SWFImage>(exportName) == tags_.end()) return {};
    PictureConversion conversion = convertPicture(path);
    installPicture(exportName, std::move(conversion.image));
    return std::move(conversion.report);
}

void SWFFile::installPicture(const std::string& exportName, std::unique_ptr<SWFImage> newImage) {
    auto slot = findExported<SWFImage>(exportName);
    // A file of another kind, or one that cannot be used, leaves the old picture in place.
    if (slot == tags_.end() || !newImage) return;
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
    for (auto& tag : tags_) {
        auto* shape = dynamic_cast<SWFDefineShape*>(tag.get());
        if (shape == nullptr) continue;
        logPrint("new size\n");
        if (shape->rescale(characterId, oldWidth, oldHeight, newWidth, newHeight)) break;
    }
}

}  // namespace tarvenox
