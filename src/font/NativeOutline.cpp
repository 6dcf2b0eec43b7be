// The native glyph outline layout.
#include "font/NativeOutline.h"

#include <algorithm>
#include <cassert>
#include <limits>

#include "common/ByteReader.h"
#include "common/ByteWriter.h"

namespace tarvenox {

namespace {

// a * b / 65536, rounded half away from zero, in 64 bits.
std::int64_t fixedMul(std::int64_t a, std::int64_t b) {
    std::int64_t product = a * b;
    return product >= 0 ? (product + 0x8000) >> 16 : -((-product + 0x8000) >> 16);
}

// A result outside the fixed range is held at its nearest end: the layout cannot
// express it, and a clamped point keeps the outline readable.
Fixed saturate(std::int64_t v) {
    return static_cast<Fixed>(
        std::clamp<std::int64_t>(v, std::numeric_limits<Fixed>::min(), std::numeric_limits<Fixed>::max()));
}

void appendPoint(Bytes& out, PointFx p) {
    writeUI32(out, static_cast<std::uint32_t>(p.x));
    writeUI32(out, static_cast<std::uint32_t>(p.y));
}

}  // namespace

PointFx OutlineMatrix::apply(PointFx p) const {
    return {saturate(fixedMul(p.x, eM11) + fixedMul(p.y, eM21)), saturate(fixedMul(p.x, eM12) + fixedMul(p.y, eM22))};
}

void NativeOutlineWriter::beginPolygon(PointFx start) {
    closePolygon();
    polygonStart_ = bytes_.size();
    writeUI32(bytes_, 0);  // cb, filled in when the polygon is closed
    writeUI32(bytes_, polygonType);
    appendPoint(bytes_, start);
    open_ = true;
}

void NativeOutlineWriter::addRecord(CurveType type, const std::vector<PointFx>& points) {
    assert(open_);
    assert(points.size() <= 0xFFFF);
    writeUI16(bytes_, static_cast<std::uint16_t>(type));
    writeUI16(bytes_, static_cast<std::uint16_t>(points.size()));
    for (PointFx p : points) appendPoint(bytes_, p);
}

void NativeOutlineWriter::closePolygon() {
    if (!open_) return;
    auto cb = static_cast<std::uint32_t>(bytes_.size() - polygonStart_);
    for (int i = 0; i < 4; ++i) bytes_[polygonStart_ + i] = static_cast<std::uint8_t>(cb >> (8 * i));
    open_ = false;
}

Bytes NativeOutlineWriter::take() {
    closePolygon();
    Bytes out = std::move(bytes_);
    bytes_.clear();
    return out;
}

}  // namespace tarvenox
