// How a chosen picture fills its slot, by the picture's name.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tarvenox {

// How a picture of another shape fills the area its slot shows on the stage.
enum class PictureFit {
    Cover,    // fills the area, what overflows is cut off evenly on both sides
    Contain,  // fits inside the area whole, the margins transparent
    Stretch,  // fills the area whole, distorted to its proportions
};

// "cover", "contain" or "stretch"; nullopt for anything else.
std::optional<PictureFit> parsePictureFit(std::string_view name);
const char* pictureFitName(PictureFit fit);

// The fits of replaced pictures by export name (as the picture replacements name them);
// a picture without an entry is fitted by Cover.
using PictureFits = std::map<std::string, PictureFit>;
PictureFit fitOf(const PictureFits& fits, const std::string& name);

}  // namespace tarvenox
