// DefineFont2 and DefineFont3.
#include "swf/SWFFont.h"

namespace tarvenox {

std::string SWFFont::nameBytes() const {
    ByteSpan b = body();
    if (b.size() < 5) return {};
    const std::size_t n = b[4];
    return 5 + n <= b.size() ? asString(b.subspan(5, n)) : std::string();
}

const std::string& SWFFont::getFontName() const {
    if (!nameCache_) {
        std::string name = nameBytes();
        while (!name.empty() && name.back() == '\0') name.pop_back();
        nameCache_ = std::move(name);
    }
    return *nameCache_;
}

}  // namespace tarvenox
