// The code tables of embedded fonts.
#include "font/FontCodes.h"

#include <algorithm>
#include <array>

#include "common/ByteReader.h"
#include "common/Cp1252.h"
#include "font/GlyphOutlines.h"
#include "swf/SWFFont.h"

namespace tarvenox {

namespace {

// The code points of a rebuilt font, in its glyph order: ascending.
const std::array<char32_t, glyphCount>& rebuiltCodePoints() {
    static const std::array<char32_t, glyphCount> points = [] {
        std::array<char32_t, glyphCount> p;
        for (int i = 0; i < glyphCount; ++i) p[i] = cp1252ToUnicode(rebuiltGlyphCodes()[i]);
        return p;
    }();
    return points;
}

}  // namespace

const std::array<std::uint8_t, glyphCount>& rebuiltGlyphCodes() {
    static const std::array<std::uint8_t, glyphCount> codes = [] {
        std::array<std::uint8_t, glyphCount> c;
        for (int i = 0; i < glyphCount; ++i) c[i] = static_cast<std::uint8_t>(firstGlyphCode + i);
        // Every code point is distinct, so the order is total.
        std::sort(c.begin(), c.end(),
                  [](std::uint8_t a, std::uint8_t b) { return cp1252ToUnicode(a) < cp1252ToUnicode(b); });
        return c;
    }();
    return codes;
}

std::vector<char32_t> fontCodePoints(ByteSpan fontBody, MovieTextEncoding encoding) {
    ByteReader reader(fontBody);
    reader.skip(2);  // FontID
    const std::uint8_t flags = reader.readU8();
    reader.skip(1);                // LanguageCode
    reader.skip(reader.readU8());  // FontName
    const std::uint16_t count = reader.readU16LE();
    const std::size_t tableStart = reader.position();
    const bool wideOffsets = (flags & SWFFont::kFlagWideOffsets) != 0;
    reader.skip(std::size_t(count) * (wideOffsets ? 4 : 2));
    const std::uint32_t codeTableOffset = wideOffsets ? reader.readU32LE() : reader.readU16LE();
    if (reader.overrun() || count == 0 || codeTableOffset > fontBody.size() - tableStart) return {};

    ByteReader codes(fontBody.subspan(tableStart + codeTableOffset));
    std::vector<char32_t> points;
    points.reserve(count);
    for (std::uint16_t i = 0; i < count; ++i) {
        if ((flags & SWFFont::kFlagWideCodes) != 0) {
            // Shift-JIS codes name characters this program cannot map.
            const std::uint16_t code = codes.readU16LE();
            points.push_back((flags & SWFFont::kFlagShiftJis) != 0 ? 0 : code);
        } else {
            const std::uint8_t code = codes.readU8();
            points.push_back(encoding == MovieTextEncoding::Windows1252 ? cp1252ToUnicode(code) : code);
        }
    }
    if (codes.overrun()) return {};
    return points;
}

std::optional<std::uint16_t> rebuiltGlyphIndex(char32_t codePoint) {
    const auto& codes = rebuiltCodePoints();
    const auto it = std::lower_bound(codes.begin(), codes.end(), codePoint);
    if (it == codes.end() || *it != codePoint) return std::nullopt;
    return static_cast<std::uint16_t>(it - codes.begin());
}

}  // namespace tarvenox
