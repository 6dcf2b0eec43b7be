// Reads arbitrary bytes as a DefineFont2 body taken apart, writes it back and measures
// its glyphs.
#include <cstdint>

#include "font/EmbeddedFont.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvenox;
    const auto font = EmbeddedFont::read(ByteSpan(data, size), TagCode::DefineFont2, MovieTextEncoding::Utf8);
    if (!font) return 0;
    // What was taken apart is written whole: read again, it gives the same body.
    const Bytes body = font->write();
    const auto again = EmbeddedFont::read(body, TagCode::DefineFont2, MovieTextEncoding::Utf8);
    if (!again || again->write() != body || again->shapes != font->shapes) __builtin_trap();
    for (const auto& shape : font->shapes) (void)glyphShapeBounds(shape);
    return 0;
}
