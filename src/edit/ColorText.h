// Colours given on the command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tarvenox {

// "#rrggbb" (hex digits in either case) or a decimal number from 0 to 16777215, as
// 0xRRGGBB; nullopt for anything else.
std::optional<std::int32_t> parseColor(const std::string& text);

// "#rrggbb" in lower case.
std::string formatColor(std::int32_t rgb);

}  // namespace tarvenox
