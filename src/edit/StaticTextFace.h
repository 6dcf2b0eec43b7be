// The face a static text's missing characters are drawn from, among the faces a save
// gives the movie's fonts.
#pragma once

#include <cstdint>
#include <string>

#include "edit/Conversions.h"

namespace tarvenox {

class SWFFile;

// The face fonts (font name or character id to face, as the save applies them) gives
// the font the static text's new glyphs are drawn in: by the font's name (a movie may
// hold several fonts of one name), or by its character id where no font has that name;
// empty when none is.
std::string faceForStaticText(SWFFile& movie, std::uint16_t textId, const Replacements& fonts);

}  // namespace tarvenox
