// Static texts read back as strings, for tests that change them.
#pragma once

#include <cstdint>
#include <string>

namespace tarvenox {
class SWFFile;
}

namespace tarvenox::test {

// The string of static text id: each glyph's character through the code table of the
// text's first font (U+FFFD for an index beyond it), a record whose y differs from its
// line's starting a new line with '\n'. Empty when the movie has no such text.
std::u32string staticTextString(const SWFFile& movie, std::uint16_t id);

}  // namespace tarvenox::test
