// Percent-encoding of bytes for URLs and for the variables a movie loads.
#include "common/PercentEncoding.h"

namespace tarvenox {
namespace {

// Not std::isalnum: its answer for the bytes above 0x7F depends on the locale.
bool isAsciiLetterOrDigit(unsigned char byte) {
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

}  // namespace

std::string percentEncoded(std::string_view text, PercentEncoding encoding) {
    const char* hex = encoding.lowercaseHex ? "0123456789abcdef" : "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (isAsciiLetterOrDigit(byte) || encoding.kept.find(c) != std::string_view::npos) {
            out += c;
        } else {
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 0x0F];
        }
    }
    return out;
}

}  // namespace tarvenox
