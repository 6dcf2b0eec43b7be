// How a chosen picture fills its slot.
#include "picture/PictureChoice.h"

namespace tarvenox {

std::optional<PictureFit> parsePictureFit(std::string_view name) {
    if (name == "cover") return PictureFit::Cover;
    if (name == "contain") return PictureFit::Contain;
    if (name == "stretch") return PictureFit::Stretch;
    return std::nullopt;
}

const char* pictureFitName(PictureFit fit) {
    switch (fit) {
        case PictureFit::Cover: return "cover";
        case PictureFit::Contain: return "contain";
        case PictureFit::Stretch: return "stretch";
    }
    return "cover";
}

PictureFit fitOf(const PictureFits& fits, const std::string& name) {
    auto it = fits.find(name);
    return it == fits.end() ? PictureFit::Cover : it->second;
}

}  // namespace tarvenox
