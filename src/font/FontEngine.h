// The font engine the conversion asks for outlines and widths: created fonts by face
// name, character outlines in the native layout, advance widths.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/Bytes.h"
#include "font/NativeOutline.h"

namespace tarvenox {

// What a font is created from. height > 0 is the cell height in pixels (ascent plus
// descent), height < 0 the em height; weight 400 is regular, 700 bold.
struct FontRequest {
    std::string faceName;  // UTF-8
    int height = 0;
    int weight = 400;
};

// The vertical metrics a face gives for laying out lines, in 1/16 pixel of the created
// size: the distance from the baseline up to the top of the line and down to its
// bottom, and the extra space between two lines.
struct FontLayout {
    std::int32_t ascent = 0;
    std::int32_t descent = 0;
    std::int32_t leading = 0;
};

// A created font.
class EngineFont {
public:
    virtual ~EngineFont() = default;
    // The outline of a Windows-1252 character code in the native layout, every point
    // transformed by matrix; empty when the font has no glyph or no outline for it.
    virtual Bytes glyphOutline(std::uint8_t code, const OutlineMatrix& matrix) = 0;
    // Advance widths in whole pixels of the codes 0 to 255; a code without a glyph
    // gets the width of the font's default glyph.
    virtual std::array<std::int32_t, 256> charWidths() = 0;
    // Advance widths of the codes 0 to 255 in 1/16 pixel, as the face designs them
    // (not rounded to whole pixels), so that a string is as wide as the face says.
    virtual std::array<std::int32_t, 256> advances() = 0;
    // The face's own line metrics at the created size.
    virtual FontLayout layout() = 0;
    // The advance width of a Unicode character in 1/16 pixel, as advances() gives it;
    // nullopt when the face has no glyph for it. An engine of Windows-1252 codes alone
    // has none.
    virtual std::optional<std::int32_t> characterAdvance(char32_t) { return std::nullopt; }
    // The outline of a Unicode character in the native layout, as glyphOutline gives it;
    // empty when the face has no glyph or no outline for it.
    virtual Bytes characterOutline(char32_t, const OutlineMatrix&) { return {}; }
};

class FontEngine {
public:
    virtual ~FontEngine() = default;
    // The installed font that best matches the request (a face that is not installed
    // gets the closest match); nullptr when no font can be created at all.
    virtual std::unique_ptr<EngineFont> createFont(const FontRequest& request) = 0;
    // The face names a request can name, sorted, each once.
    virtual std::vector<std::string> faceNames() = 0;
};

// The engine of this system: fontconfig and FreeType. Its fonts may be created and its
// faces listed from any thread; a created font serves one thread at a time.
FontEngine& systemFontEngine();

}  // namespace tarvenox
