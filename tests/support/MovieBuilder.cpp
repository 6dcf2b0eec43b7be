// Builds small SWF movies in memory for tests.
#include "support/MovieBuilder.h"

#include <fstream>

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "swf/SWFBitWriter.h"
#include "swf/SWFDefineShape.h"

namespace tarvenox::test {

MovieBuilder::MovieBuilder(std::uint8_t version, SWFRect frame) : version_(version), frame_(frame) {}

MovieBuilder& MovieBuilder::frameRate(std::uint8_t whole, std::uint8_t fraction) {
    rateWhole_ = whole;
    rateFraction_ = fraction;
    return *this;
}

MovieBuilder& MovieBuilder::frameCount(std::uint16_t count) {
    frameCount_ = count;
    return *this;
}

MovieBuilder& MovieBuilder::tag(int code, const Bytes& body, bool longHeader) {
    const auto length = static_cast<std::uint32_t>(body.size());
    if (longHeader || length >= 63) {
        writeUI16(tags_, static_cast<std::uint32_t>(code) << 6 | 63);
        writeUI32(tags_, length);
    } else {
        writeUI16(tags_, static_cast<std::uint32_t>(code) << 6 | length);
    }
    tags_.insert(tags_.end(), body.begin(), body.end());
    return *this;
}

MovieBuilder& MovieBuilder::background(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return tag(9, Bytes{r, g, b});
}

MovieBuilder& MovieBuilder::showFrame() { return tag(1, {}); }

MovieBuilder& MovieBuilder::trailer(const Bytes& bytes) {
    trailer_ = bytes;
    return *this;
}

Bytes MovieBuilder::build() const {
    SWFBitWriter rect;
    SWFRect frame = frame_;
    frame.write(rect);
    Bytes out{'F', 'W', 'S', version_, 0, 0, 0, 0};
    out.insert(out.end(), rect.bytes().begin(), rect.bytes().end());
    out.push_back(rateFraction_);
    out.push_back(rateWhole_);
    writeUI16(out, frameCount_);
    out.insert(out.end(), tags_.begin(), tags_.end());
    writeUI16(out, 0);
    const auto length = static_cast<std::uint32_t>(out.size());
    for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    out.insert(out.end(), trailer_.begin(), trailer_.end());
    return out;
}

void MovieBuilder::writeTo(const std::string& path) const {
    Bytes bytes = build();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes withFileLength(Bytes movie, std::uint32_t length) {
    if (movie.size() < 8) return movie;
    for (int i = 0; i < 4; ++i) movie[4 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    return movie;
}

Bytes endedAt(const Bytes& movie, std::size_t n) {
    return withFileLength(Bytes(movie.begin(), movie.begin() + static_cast<std::ptrdiff_t>(n)),
                          static_cast<std::uint32_t>(n));
}

Bytes clippedBitmapShape(std::uint16_t shapeId, std::uint16_t bitmapId) {
    SWFFillStyle fill;
    fill.type = SWFFillStyle::kClippedBitmap;
    fill.bitmapId = bitmapId;
    fill.bitmapMatrix = {.hasScale = true, .scaleX = 20 << 16, .scaleY = 20 << 16, .translateX = 100};
    SWFShapeStyles styles;
    styles.shapeId = shapeId;
    styles.fillStyles = {fill};
    return styles.write() + Bytes{0x10, 0x00};
}

Bytes le16(std::uint16_t v) { return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)}; }

Bytes le32(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 24)};
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes cstr(const std::string& text) {
    Bytes out(text.begin(), text.end());
    out.push_back(0);
    return out;
}

}  // namespace tarvenox::test
