// DefineFont2 and DefineFont3.
#include "font/SWFFont.h"

#include "font/DefineFont2.h"
#include "swf/TagCode.h"

namespace tarvenox {

std::string SWFFont::nameBytes() const {
    ByteSpan b = body();
    if (b.size() < 5) return {};
    const std::size_t n = b[4];
    return 5 + n <= b.size() ? asString(b.subspan(5, n)) : std::string();
}

const std::string& SWFFont::getFontName() {
    if (!nameCache_) {
        std::string name = nameBytes();
        while (!name.empty() && name.back() == '\0') name.pop_back();
        nameCache_ = std::move(name);
    }
    return *nameCache_;
}

void SWFFont::replaceWithSystemFont(const std::string& fontName, const std::string& faceName) {
    const std::uint8_t styleFlags = body().size() > 2 ? body()[2] : 0;
    GlyphOutlines outlines = extractGlyphOutlines(faceName);
    setData(code() == static_cast<int>(TagCode::DefineFont3)
                ? buildDefineFont3Body(characterId(), fontName, outlines, styleFlags)
                : buildDefineFont2Body(characterId(), fontName, outlines, styleFlags));
}

}  // namespace tarvenox
