// A static text's string replaced by another and laid out again in its font.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/Report.h"

namespace tarvenox {

class SWFFile;

// Whether character id of the movie is a static text (DefineText or DefineText2); the
// failure's reason says what the movie has instead: no such character, or one of
// another kind.
Report checkStaticTextId(const SWFFile& movie, std::uint16_t id);

// The font of the static text's first record that names one: the font its new glyphs
// are drawn in. nullopt when id is no static text that can be read, or names no font.
std::optional<std::uint16_t> staticTextFont(const SWFFile& movie, std::uint16_t id);

// Replaces the string of static text id by text ('\n' starts a new line), laid out with
// the advances of the font of the text's first record (kerning is ignored, as players
// ignore it in static text). The new lines take the places of the old lines in order,
// each with its position, colour and height; further lines go below the last at the
// distance of the first two, or of the font's line height at that height. The text's
// bounds grow to cover the new glyphs.
//
// Characters the font lacks are added to it from chosenFace (UTF-8; the face the font
// is rebuilt from in the same save), or, when none is given, from the installed face
// whose family is the font's name; every static text drawn in the font follows its
// glyphs to their new places. When neither gives them all, or the text or its font
// cannot be read whole, the failure's reason says so in one line and the movie is left
// as it was.
Report changeStaticText(SWFFile& movie, std::uint16_t id, std::u32string_view text, const std::string& chosenFace = {});

}  // namespace tarvenox
