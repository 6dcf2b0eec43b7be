// Windows-1252 and UTF-8.
#include "common/Cp1252.h"

#include <array>
#include <optional>

namespace tarvenox {

namespace {

// 0x80 to 0x9F; every other byte is its own code point.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The code point's byte; nullopt for one the code page lacks.
std::optional<std::uint8_t> unicodeToCp1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<std::uint8_t>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c) return static_cast<std::uint8_t>(0x80 + i);
    }
    return std::nullopt;
}

// Decodes one UTF-8 sequence at text[pos] and advances past it; an invalid or cut
// sequence gives nullopt and advances by one byte.
std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& pos) {
    auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(pos);
    int extra = 0;
    if (lead < 0x80)
        extra = 0;
    else if ((lead & 0xE0) == 0xC0)
        extra = 1;
    else if ((lead & 0xF0) == 0xE0)
        extra = 2;
    else if ((lead & 0xF8) == 0xF0)
        extra = 3;
    else
        extra = -1;
    if (extra < 0 || text.size() - pos <= static_cast<std::size_t>(extra)) {
        ++pos;
        if (extra == 0) return lead;
        return std::nullopt;
    }
    char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) {
            ++pos;
            return std::nullopt;
        }
        c = (c << 6) | (byte(pos + i) & 0x3F);
    }
    pos += extra + 1;
    return c;
}

}  // namespace

char32_t cp1252ToUnicode(std::uint8_t byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
    return byte;
}

std::string cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) appendUtf8(out, cp1252ToUnicode(static_cast<std::uint8_t>(ch)));
    return out;
}

std::string unicodeToUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        // Surrogates and values beyond Unicode have no UTF-8 form.
        const bool valid = c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
        appendUtf8(out, valid ? c : U'\uFFFD');
    }
    return out;
}

std::string utf8ToCp1252(std::string_view text, bool* lossless) {
    std::string out;
    out.reserve(text.size());
    bool exact = true;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::optional<char32_t> c = decodeUtf8(text, pos);
        const std::optional<std::uint8_t> b = c ? unicodeToCp1252(*c) : std::nullopt;
        if (!b) {
            out += '?';
            exact = false;
        } else {
            out += static_cast<char>(*b);
        }
    }
    if (lossless != nullptr) *lossless = exact;
    return out;
}

bool isValidUtf8(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (!decodeUtf8(text, pos)) return false;
    }
    return true;
}

std::optional<std::u32string> utf8CodePoints(std::string_view text) {
    std::u32string points;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::optional<char32_t> c = decodeUtf8(text, pos);
        if (!c) return std::nullopt;
        points += *c;
    }
    return points;
}

std::string displayText(std::string_view text) { return isValidUtf8(text) ? std::string(text) : cp1252ToUtf8(text); }

}  // namespace tarvenox
