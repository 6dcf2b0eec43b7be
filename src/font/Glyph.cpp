// Glyph outlines parsed from the native outline layout, and their SWF shapes.
#include "font/Glyph.h"

#include <algorithm>

#include "common/ByteReader.h"
#include "font/NativeOutline.h"
#include "swf/SWFBitWriter.h"

namespace tarvenox {

namespace {

struct Point {
    std::int32_t x, y;
};

// A POINTFX in outline units.
Point readPoint(ByteReader& reader) {
    auto x = static_cast<Fixed>(reader.readU32LE());
    auto y = static_cast<Fixed>(reader.readU32LE());
    return {fixedToOutlineUnits(x), fixedToOutlineUnits(y)};
}

// Adds the record's segments to the contour and moves the current point along.
void addLines(Contour& contour, Point& current, const std::vector<Point>& points) {
    for (Point p : points) {
        contour.append(std::make_unique<Line>(current.x, current.y, p.x, p.y));
        current = p;
    }
}

// A quadratic B-spline: between two consecutive control points lies an implied
// on-curve point, their midpoint (truncated toward zero); the last point is on the
// curve. A single point makes no segment.
void addSplines(Contour& contour, Point& current, const std::vector<Point>& points) {
    if (points.size() < 2) return;
    Point control = points[0];
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        Point next = points[i + 1];
        Point end = i + 2 < points.size() ? Point{(control.x + next.x) / 2, (control.y + next.y) / 2} : next;
        contour.append(std::make_unique<Curve>(current.x, current.y, control.x, control.y, end.x, end.y));
        current = end;
        control = next;
    }
}

// The records of one polygon, read from a reader fenced to the polygon's bytes.
Contour parsePolygon(ByteReader& polygon, std::vector<UserMessage>& messages) {
    polygon.skip(4);  // dwType, not examined
    const Point start = readPoint(polygon);
    Contour contour(start.x, start.y);
    Point current = start;
    while (polygon.remaining() >= curveHeaderSize) {
        const std::uint16_t type = polygon.readU16LE();
        const std::uint16_t count = polygon.readU16LE();
        // A record whose points run past its polygon ends the polygon's records.
        if (polygon.remaining() / pointFxSize < count) break;
        std::vector<Point> points(count);
        for (Point& p : points) p = readPoint(polygon);
        switch (static_cast<CurveType>(type)) {
            case CurveType::Line: addLines(contour, current, points); break;
            case CurveType::QSpline: addSplines(contour, current, points); break;
            case CurveType::CSpline: messages.push_back({cubicSplineMessage(), MessageKind::OkCancel}); break;
            default: messages.push_back({unknownRecordMessage(), MessageKind::OkCancel}); break;
        }
    }
    // The contour is closed even when the last record already ended at the start
    // point; the line then has length 0.
    contour.append(std::make_unique<Line>(current.x, current.y, start.x, start.y));
    return contour;
}

}  // namespace

Glyph::Glyph(ByteSpan nativeOutline) {
    std::size_t pos = 0;
    while (nativeOutline.size() - pos >= polygonHeaderSize) {
        ByteReader header(nativeOutline.subspan(pos, 4));
        const std::uint32_t cb = header.readU32LE();
        // A polygon smaller than its own header cannot be stepped over.
        if (cb < polygonHeaderSize) break;
        const std::size_t available = nativeOutline.size() - pos;
        const std::size_t length = std::min<std::size_t>(cb, available);
        ByteReader polygon(nativeOutline.subspan(pos + 4, length - 4));
        contours_.push_back(parsePolygon(polygon, messages_));
        // A polygon cut short by the end of the buffer is the last one.
        if (cb > available) break;
        pos += cb;
    }
}

void Glyph::draw(std::string& svgPath) const {
    for (const Contour& contour : contours_) contour.draw(svgPath);
}

OutlineBounds Glyph::bounds() const {
    OutlineBounds box;
    for (const Contour& contour : contours_) {
        box.add(contour.startX, contour.startY);
        for (const auto& part : contour.parts) part->extendBounds(box);
    }
    return box;
}

void Glyph::write(SWFBitWriter& writer, int scale) const {
    writer.writeAlignedByte(0x10);  // NumFillBits 1, NumLineBits 0
    for (std::size_t i = 0; i < contours_.size(); ++i) contours_[i].write(writer, i == 0, scale);
    writer.writeBits(6, 0);  // EndShapeRecord
}

void NullGlyph::write(SWFBitWriter& writer, int) const {
    writer.writeAlignedByte(0x10);
    writer.writeAlignedByte(0x00);
}

}  // namespace tarvenox
