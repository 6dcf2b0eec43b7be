// Colours given on the command line.
#include "edit/ColorText.h"

#include <cstdio>

namespace tarvenox {

std::optional<std::int32_t> parseColor(const std::string& text) {
    if (text.size() == 7 && text[0] == '#') {
        std::int32_t value = 0;
        for (std::size_t i = 1; i < 7; ++i) {
            const char c = text[i];
            int digit = c >= '0' && c <= '9'   ? c - '0'
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                               : -1;
            if (digit < 0) return std::nullopt;
            value = value * 16 + digit;
        }
        return value;
    }
    if (text.empty() || text.size() > 8) return std::nullopt;
    std::int32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > 0xFFFFFF) return std::nullopt;
    return value;
}

std::string formatColor(std::int32_t rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

}  // namespace tarvenox
