// Single characters of an installed face.
#include "font/FaceGlyphs.h"

#include <algorithm>
#include <cctype>

#include "font/GlyphOutlines.h"

namespace tarvenox {

namespace {

bool sameLetters(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

bool familyInstalled(FontEngine& engine, const std::string& family) {
    const auto names = engine.faceNames();
    return std::any_of(names.begin(), names.end(), [&](const std::string& name) { return sameLetters(name, family); });
}

std::map<char32_t, FaceGlyph> faceGlyphs(FontEngine& engine, const std::string& faceName,
                                         std::u32string_view characters) {
    std::map<char32_t, FaceGlyph> glyphs;
    const std::unique_ptr<EngineFont> font = engine.createFont({faceName, -outlineEmPixels, 400});
    if (!font) return glyphs;
    for (char32_t c : characters) {
        const auto advance = font->characterAdvance(c);
        if (!advance || glyphs.count(c) != 0) continue;
        const Bytes outline = font->characterOutline(c, extractionMatrix());
        std::unique_ptr<Glyph> glyph;
        if (outline.empty()) {
            glyph = std::make_unique<NullGlyph>();
        } else {
            glyph = std::make_unique<Glyph>(outline);
        }
        glyphs.emplace(c, FaceGlyph{std::move(glyph), *advance});
    }
    return glyphs;
}

}  // namespace tarvenox
