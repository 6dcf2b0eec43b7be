// Single characters of an installed face, by Unicode code point: what a font embedded in
// a movie is given when a text needs characters it lacks.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "font/FontEngine.h"
#include "font/Glyph.h"

namespace tarvenox {

struct FaceGlyph {
    std::unique_ptr<Glyph> glyph;  // a NullGlyph for a character without an outline
    std::int32_t advance = 0;      // outline units, 1024 to the em
};

// Whether a face of this family (UTF-8, letter case aside) is installed: the name alone,
// not the nearest match that creating a font would settle for.
bool familyInstalled(FontEngine& engine, const std::string& family);

// The characters of the face (UTF-8) that it has glyphs for, taken as the glyphs of a
// rebuilt font are (extractGlyphOutlines); the characters it lacks are left out.
std::map<char32_t, FaceGlyph> faceGlyphs(FontEngine& engine, const std::string& faceName,
                                         std::u32string_view characters);

}  // namespace tarvenox
