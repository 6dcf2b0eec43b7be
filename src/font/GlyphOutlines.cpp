// The outlines and advance widths of an installed font.
#include "font/GlyphOutlines.h"

#include "font/FontEngine.h"

namespace tarvenox {

OutlineMatrix extractionMatrix() {
    // Each entry is the identity plus 1/65536. The outlines are taken through this
    // matrix rather than the exact identity, so points on whole pixels move by a
    // fraction, which the truncation to outline units can see.
    OutlineMatrix matrix;
    matrix.eM11 = fixedFromParts(1, 1);
    matrix.eM12 = fixedFromParts(0, 1);
    matrix.eM21 = fixedFromParts(0, 1);
    matrix.eM22 = fixedFromParts(1, 1);
    return matrix;
}

GlyphOutlines extractGlyphOutlines(const std::string& faceName) {
    return extractGlyphOutlines(systemFontEngine(), faceName);
}

GlyphOutlines extractGlyphOutlines(FontEngine& engine, const std::string& faceName) {
    std::unique_ptr<EngineFont> font = engine.createFont({faceName, -outlineEmPixels, 400});
    GlyphOutlines result;
    if (!font) result.report.note(noFontMessage(), MessageKind::OkCancel);

    const OutlineMatrix matrix = extractionMatrix();

    result.glyphs.reserve(glyphCount);
    for (int code = firstGlyphCode; code < firstGlyphCode + glyphCount; ++code) {
        Bytes outline;
        if (font) outline = font->glyphOutline(static_cast<std::uint8_t>(code), matrix);
        if (outline.empty()) {
            result.glyphs.push_back(std::make_unique<NullGlyph>());
        } else {
            auto glyph = std::make_unique<Glyph>(outline);
            for (const auto& message : glyph->messages()) result.report.note(message.text, message.kind);
            result.glyphs.push_back(std::move(glyph));
        }
    }
    if (font) {
        result.advances = font->advances();
        result.layout = font->layout();
    }
    return result;
}

}  // namespace tarvenox
