// The random secret that every address of the page server carries.
#pragma once

#include <string>
#include <string_view>

namespace tarvenox::web {

// 32 random bytes from the kernel (getrandom), as 64 lower-case hexadecimal digits.
// Throws std::runtime_error when the kernel gives no randomness.
std::string makeSecret();

// Compares two texts in a time that depends on their lengths only, so the time a refusal
// takes does not tell how many leading characters of a guess were right.
bool sameSecret(std::string_view a, std::string_view b);

}  // namespace tarvenox::web
