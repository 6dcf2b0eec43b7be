// Windows-1252, the code page of the product's texts, and its edge to UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvenox {

// The Unicode code point of a Windows-1252 byte. The five bytes the code page leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value,
// as Windows converts them.
char32_t cp1252ToUnicode(std::uint8_t byte);

// Text in Windows-1252 as UTF-8.
std::string cp1252ToUtf8(std::string_view text);

// Code points as UTF-8; one that has no UTF-8 form (a surrogate, a value beyond
// U+10FFFF) becomes U+FFFD.
std::string unicodeToUtf8(std::u32string_view text);

// UTF-8 as Windows-1252. A character the code page cannot hold, and a byte that is not
// valid UTF-8, become '?'; *lossless (when given) tells whether that happened.
std::string utf8ToCp1252(std::string_view text, bool* lossless = nullptr);

// Whether the text is well-formed UTF-8.
bool isValidUtf8(std::string_view text);

// UTF-8 as code points; nullopt when it is not well-formed.
std::optional<std::u32string> utf8CodePoints(std::string_view text);

// Text for display: UTF-8 as it is, anything else taken as Windows-1252 and converted.
std::string displayText(std::string_view text);

}  // namespace tarvenox
