// Advance widths of an installed font for the editor.
#include "font/FontMetrics.h"

#include <limits>

#include "font/FontEngine.h"

namespace tarvenox {

FontMetrics::FontMetrics(const std::string& faceName, std::int32_t size, bool bold)
    : FontMetrics(systemFontEngine(), faceName, size, bold) {}

FontMetrics::FontMetrics(FontEngine& engine, const std::string& faceName, std::int32_t size, bool bold)
    : faceName_(faceName), size_(size), bold_(bold) {
    // A negative height asks for the em height rather than the cell height.
    const int height = size == std::numeric_limits<std::int32_t>::min() ? std::numeric_limits<int>::max() : -size;
    if (auto font = engine.createFont({faceName, height, bold ? 700 : 400})) widths_ = font->charWidths();
}

std::string FontMetrics::widthsAsHex() const { return tarvenox::widthsAsHex(widths_); }

std::string widthsAsHex(const std::array<std::int32_t, 256>& widths) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * 224);
    for (int code = 32; code < 256; ++code) {
        auto low = static_cast<std::uint8_t>(widths[code]);
        hex += digits[low >> 4];
        hex += digits[low & 0xF];
    }
    return hex;
}

}  // namespace tarvenox
