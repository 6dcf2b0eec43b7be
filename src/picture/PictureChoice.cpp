// A picture chosen for a slot: the file, and how it fills the slot.
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

std::string pictureChoiceValue(const std::string& path, PictureFit fit) {
    if (fit == PictureFit::Cover) return path;
    std::string value = path;
    value.push_back('\0');
    value += pictureFitName(fit);
    return value;
}

PictureChoice pictureChoice(const std::string& value) {
    const std::size_t nul = value.find('\0');
    if (nul == std::string::npos) return {value, PictureFit::Cover};
    return {value.substr(0, nul), parsePictureFit(std::string_view(value).substr(nul + 1)).value_or(PictureFit::Cover)};
}

}  // namespace tarvenox
