// Advance widths of an installed font at a pixel size, for the editor's text layout.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tarvenox {

class FontEngine;

class FontMetrics {
public:
    // Measures the face (UTF-8) at once, at an em height of size pixels, bold or
    // regular. Widths the engine cannot deliver stay 0.
    FontMetrics(const std::string& faceName, std::int32_t size, bool bold);
    FontMetrics(FontEngine& engine, const std::string& faceName, std::int32_t size, bool bold);

    // The widths of codes 32 to 255, each as the two lowercase hexadecimal digits of
    // its low 8 bits: always 448 characters.
    std::string widthsAsHex() const;

    const std::string& faceName() const { return faceName_; }
    std::int32_t size() const { return size_; }
    bool bold() const { return bold_; }
    const std::array<std::int32_t, 256>& widths() const { return widths_; }

private:
    std::string faceName_;
    std::int32_t size_;
    bool bold_;
    std::array<std::int32_t, 256> widths_{};
};

// The hexadecimal widths string of widths[32..255].
std::string widthsAsHex(const std::array<std::int32_t, 256>& widths);

}  // namespace tarvenox
