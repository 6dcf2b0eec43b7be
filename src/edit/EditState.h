// A template's edits at one moment, as the edit history keeps them.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "edit/Conversions.h"
#include "picture/PictureChoice.h"

namespace tarvenox {

// Each variable's text as the user gave it (in the template's order), each static text's
// ("text:ID", in the movie's order), the replacements, the pictures' fits and the
// background colour.
struct EditState {
    std::vector<std::pair<std::string, std::string>> variables;
    std::vector<std::pair<std::string, std::string>> staticTexts;
    Replacements fonts;
    Replacements pictures;
    PictureFits fits;
    Replacements sounds;
    std::int32_t background = 0;
    bool operator==(const EditState&) const = default;
};

}  // namespace tarvenox
