// The tags that define a character, and what kind of character each defines.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "swf/TagCode.h"

namespace tarvenox {

// Whether a tag of this code defines a character: its body starts with the new
// character's id. Tags that only refer to one (DefineFontInfo, DefineButtonSound,
// DefineScalingGrid, PlaceObject...) do not.
bool definesCharacter(TagCode code);

// What a defining tag's character is in the user's words, with its article: "a shape",
// "a picture", "a sound", "a font", "a static text"... Empty for a tag that defines none.
std::string_view characterKind(TagCode code);
// The same in the run's language, for a line the user reads.
std::string characterKindText(TagCode code);

// The character id that a name given by the user reads as: a decimal number without sign
// or leading zeros, at most 65535 ("12", "0"; not "012", "+1" or "70000").
std::optional<std::uint16_t> readCharacterId(std::string_view text);

}  // namespace tarvenox
