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

// A style count: UI8, and from version 2 on 0xFF followed by the count as UI16.
int readCount(SWFBitReader& reader, int version, bool& extended) {
    const int count = reader.readUI8();
    extended = version >= 2 && count == 0xFF;
    return extended ? reader.readUI16() : count;
}

// DefineShape has no escape: 0xFF there is a count of 255.
void writeCount(SWFBitWriter& writer, int version, std::size_t count, bool extended) {
    if (version >= 2 && (extended || count >= 0xFF)) {
        writer.writeAlignedByte(0xFF);
        writer.writeAlignedUI16(static_cast<std::uint16_t>(count));
    } else {
        writer.writeAlignedByte(static_cast<std::uint8_t>(count));
    }
}

}  // namespace

int shapeVersion(TagCode code) {
    switch (code) {
        case TagCode::DefineShape: return 1;
        case TagCode::DefineShape2: return 2;
        case TagCode::DefineShape3: return 3;
        case TagCode::DefineShape4: return 4;
        default: return 0;
    }
}

std::optional<SWFShapeStyles> SWFShapeStyles::read(ByteSpan body, int version) {
    SWFBitReader reader(body);
    SWFShapeStyles styles;
    styles.version = version;
    styles.shapeId = reader.readUI16();
    styles.bounds = SWFRect::read(reader);
    if (version >= 4) {
        reader.align();
        styles.edgeBounds = SWFRect::read(reader);
        styles.shape4Flags = reader.readUI8();
    }
    const int fillCount = readCount(reader, version, styles.extendedFillCount);
    for (int i = 0; i < fillCount && !reader.overrun(); ++i) {
        auto fill = SWFFillStyle::read(reader, version);
        if (!fill) return std::nullopt;
        styles.fillStyles.push_back(std::move(*fill));
    }
    const int lineCount = readCount(reader, version, styles.extendedLineCount);
    for (int i = 0; i < lineCount && !reader.overrun(); ++i) {
        auto line = SWFLineStyle::read(reader, version);
        if (!line) return std::nullopt;
        styles.lineStyles.push_back(std::move(*line));
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
    if (version >= 4) {
        writer.align();
        SWFRect edges = edgeBounds;
        edges.write(writer);
        writer.writeAlignedByte(shape4Flags);
    }
    writeCount(writer, version, fillStyles.size(), extendedFillCount);
    for (const auto& fill : fillStyles) fill.write(writer, version);
    writeCount(writer, version, lineStyles.size(), extendedLineCount);
    for (const auto& line : lineStyles) line.write(writer, version);
    return writer.take();
}

bool SWFDefineShape::rescale(std::uint16_t characterId, std::uint16_t oldWidth, std::uint16_t oldHeight,
                             std::uint16_t newWidth, std::uint16_t newHeight) {
    // A size of 0 comes from a picture whose size could not be found; a factor made
    // from it would make the picture vanish or divide by zero.
    if (oldWidth == 0 || oldHeight == 0 || newWidth == 0 || newHeight == 0) return false;
    auto styles = this->styles();
    if (!styles) return false;
    const double factorX = static_cast<double>(oldWidth) / newWidth;
    const double factorY = static_cast<double>(oldHeight) / newHeight;
    bool changed = false;
    auto rescaleFill = [&](SWFFillStyle& fill) {
        if (!fill.isBitmap() || fill.bitmapId != characterId) return;
        scaleBitmapMatrix(fill.bitmapMatrix, factorX, factorY);
        changed = true;
    };
    for (auto& fill : styles->fillStyles) rescaleFill(fill);
    for (auto& line : styles->lineStyles) {
        if (line.fill) rescaleFill(*line.fill);
    }
    if (!changed) return false;
    Bytes newBody = styles->write();
    ByteSpan rest = body().subspan(styles->restOffset);
    newBody.insert(newBody.end(), rest.begin(), rest.end());
    setData(std::move(newBody));
    return true;
}

}  // namespace tarvenox
