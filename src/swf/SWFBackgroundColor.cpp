// SetBackgroundColor.
#include "swf/SWFBackgroundColor.h"

#include "swf/SWFFile.h"

namespace tarvenox {

std::int32_t SWFBackgroundColor::color() const {
    ByteSpan b = body();
    if (b.size() < 3) return -1;
    return (b[0] << 16) | (b[1] << 8) | b[2];
}

void SWFBackgroundColor::setColor(std::int32_t rgb) {
    Bytes b(body().begin(), body().end());
    if (b.size() < 3) b.resize(3);
    b[0] = static_cast<std::uint8_t>((rgb >> 16) & 0xFF);
    b[1] = static_cast<std::uint8_t>((rgb >> 8) & 0xFF);
    b[2] = static_cast<std::uint8_t>(rgb & 0xFF);
    setData(std::move(b));
}

void setBackgroundColor(SWFFile& movie, std::int32_t rgb) {
    for (auto& tag : movie.tags()) {
        if (auto* background = dynamic_cast<SWFBackgroundColor*>(tag.get())) {
            background->setColor(rgb);
            return;
        }
    }
}

}  // namespace tarvenox
