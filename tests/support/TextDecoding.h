// Static texts read back as strings, for tests that change them.
#pragma once

#include <cstdint>
#include <string>

namespace tarvenox {
class SWFFile;
}

namespace tarvenox::test {

// The string of the static text with the id (see staticTextString in
// font/StaticTextString.h); empty when the movie has no such text or it cannot be read.
std::u32string staticTextString(const SWFFile& movie, std::uint16_t id);

}  // namespace tarvenox::test
