// DefineFont2.
#include "font/SWFFont.h"

#include "font/DefineFont2.h"

namespace tarvenox {

const std::string& SWFFont::getFontName() {
    if (!nameCache_) {
        ByteSpan b = body();
        std::string name;
        if (b.size() >= 5) {
            std::size_t n = b[4];
            if (5 + n <= b.size()) name = asString(b.subspan(5, n));
        }
        nameCache_ = std::move(name);
    }
    return *nameCache_;
}

void SWFFont::replaceWithSystemFont(const std::string& fontName, const std::string& faceName) {
    setData(buildDefineFont2Body(characterId(), fontName, faceName));
}

}  // namespace tarvenox
