// DefineShape and the rescaling of its bitmap fills.
#include "swf/SWFDefineShape.h"

#include <algorithm>
#include <cmath>

namespace tarvenox {

namespace {

// A MATRIX stores each value in at most 31 bits (its bit counts are 5-bit fields).
constexpr double kMatrixMin = -(1 << 30);
constexpr double kMatrixMax = (1 << 30) - 1;
constexpr std::int32_t kFixedOne = 1 << 16;

// The value times factor, truncated towards zero and kept within what a MATRIX can
// store.
std::int32_t scaleValue(std::int32_t value, double factor) {
    const double scaled = std::trunc(value * factor);
    return static_cast<std::int32_t>(std::clamp(scaled, kMatrixMin, kMatrixMax));
}

// The matrix maps bitmap pixels to shape coordinates. Stretching the bitmap's x and y
// by factorX and factorY scales the matrix's columns: ScaleX and RotateSkew0 act on
// the bitmap's x, RotateSkew1 and ScaleY on its y. The translation stays.
void scaleBitmapMatrix(SWFMatrix& m, double factorX, double factorY) {
    if (!m.hasScale) {
        if (factorX == 1.0 && factorY == 1.0) return;
        // Without scale fields the scale is 1.0.
        m.hasScale = true;
        m.scaleX = m.scaleY = kFixedOne;
    }
    m.scaleX = scaleValue(m.scaleX, factorX);
    m.scaleY = scaleValue(m.scaleY, factorY);
    if (m.hasRotate) {
        m.rotateSkew0 = scaleValue(m.rotateSkew0, factorX);
        m.rotateSkew1 = scaleValue(m.rotateSkew1, factorY);
    }
}

}  // namespace

std::optional<SWFShapeStyles> SWFShapeStyles::read(ByteSpan body) {
    SWFBitReader reader(body);
    SWFShapeStyles styles;
    styles.shapeId = reader.readUI16();
    styles.bounds = SWFRect::read(reader);
    // DefineShape counts its styles in one byte (the 0xFF escape to a 16-bit count
    // belongs to DefineShape2 and later).
    const int fillCount = reader.readUI8();
    for (int i = 0; i < fillCount && !reader.overrun(); ++i) {
        auto fill = SWFFillStyle::read(reader);
        if (!fill) return std::nullopt;
        styles.fillStyles.push_back(std::move(*fill));
    }
    const int lineCount = reader.readUI8();
    for (int i = 0; i < lineCount && !reader.overrun(); ++i) {
        styles.lineStyles.push_back(SWFLineStyle::read(reader));
    }
    if (reader.overrun()) return std::nullopt;
    styles.restOffset = reader.nextByteOffset();
    return styles;
}

Bytes SWFShapeStyles::write() const {
    SWFBitWriter writer;
    writer.writeAlignedUI16(shapeId);
    SWFRect rect = bounds;
    rect.write(writer);
    writer.writeAlignedByte(static_cast<std::uint8_t>(fillStyles.size()));
    for (const auto& fill : fillStyles) fill.write(writer);
    writer.writeAlignedByte(static_cast<std::uint8_t>(lineStyles.size()));
    for (const auto& line : lineStyles) line.write(writer);
    return writer.take();
}

bool SWFDefineShape::rescale(std::uint16_t characterId, std::uint16_t oldWidth,
                             std::uint16_t oldHeight, std::uint16_t newWidth,
                             std::uint16_t newHeight) {
    // A size of 0 comes from a picture whose size could not be found; a factor made
    // from it would make the picture vanish or divide by zero.
    if (oldWidth == 0 || oldHeight == 0 || newWidth == 0 || newHeight == 0) return false;
    auto styles = SWFShapeStyles::read(body());
    if (!styles) return false;
    const double factorX = static_cast<double>(oldWidth) / newWidth;
    const double factorY = static_cast<double>(oldHeight) / newHeight;
    bool changed = false;
    for (auto& fill : styles->fillStyles) {
        if (!fill.isBitmap() || fill.bitmapId != characterId) continue;
        scaleBitmapMatrix(fill.bitmapMatrix, factorX, factorY);
        changed = true;
    }
    if (!changed) return false;
    Bytes newBody = styles->write();
    ByteSpan rest = body().subspan(styles->restOffset);
    newBody.insert(newBody.end(), rest.begin(), rest.end());
    setData(std::move(newBody));
    return true;
}

}  // namespace tarvenox
