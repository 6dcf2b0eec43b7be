// A picture chosen for a slot: the file, and how it fills the slot.
#pragma once

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

struct PictureChoice {
    std::string path;
    PictureFit fit = PictureFit::Cover;
};

// A replacement's value (the text the save's maps hold for a picture) is the file's path,
// optionally followed by a NUL byte and the fit's name. A path holds no NUL, so the two
// cannot be mistaken for each other, and a plain path, the editor's value, means Cover.
// The file functions of PictureFile.h take either form.
std::string pictureChoiceValue(const std::string& path, PictureFit fit);
PictureChoice pictureChoice(const std::string& value);

}  // namespace tarvenox
