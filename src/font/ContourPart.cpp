// Line and curve segments of a glyph outline and their SWF edge records.
#include "font/ContourPart.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

#include "swf/SWFBitWriter.h"

namespace tarvenox {

namespace {

// An edge record holds its bit width minus 2 in 4 bits, so a delta takes at most
// 17 bits. No outline of a real font comes near that (65535 units are 4096 pixels), but
// the model can hold larger values; such an edge is written as several shorter ones
// rather than with a NumBits field that has overflowed into the next record.
constexpr int maxEdgeBits = 15 + 2;

// NumBits of an edge record: the widest delta's bit count minus 2, at least 0.
int edgeBits(std::initializer_list<std::int32_t> deltas) {
    int bits = 0;
    for (std::int32_t d : deltas) bits = std::max(bits, signedBitCount(d));
    return std::max(bits, 2) - 2;
}

void writeStraightEdge(SWFBitWriter& writer, std::int32_t dx, std::int32_t dy) {
    int b = edgeBits({dx, dy});
    if (b + 2 > maxEdgeBits) {
        std::int32_t hx = dx / 2, hy = dy / 2;
        writeStraightEdge(writer, hx, hy);
        writeStraightEdge(writer, dx - hx, dy - hy);
        return;
    }
    writer.writeBits(1, 1);  // TypeFlag: edge
    writer.writeBits(1, 1);  // StraightFlag
    writer.writeBits(4, static_cast<std::uint32_t>(b));
    if (dx != 0 && dy != 0) {
        writer.writeBits(1, 1);  // GeneralLineFlag
        writer.writeSignedBits(b + 2, dx);
        writer.writeSignedBits(b + 2, dy);
    } else {
        writer.writeBits(1, 0);
        if (dx == 0) {
            // Vertical, which also covers a line of length 0.
            writer.writeBits(1, 1);
            writer.writeSignedBits(b + 2, dy);
        } else {
            writer.writeBits(1, 0);
            writer.writeSignedBits(b + 2, dx);
        }
    }
}

void writeCurvedEdge(SWFBitWriter& writer, std::int32_t controlDx, std::int32_t controlDy, std::int32_t anchorDx,
                     std::int32_t anchorDy) {
    int b = edgeBits({controlDx, controlDy, anchorDx, anchorDy});
    if (b + 2 > maxEdgeBits) {
        // Split at t = 1/2 (de Casteljau), relative to the start point; the rounded
        // midpoints move the curve by at most one unit and the end point stays exact.
        std::int32_t endX = controlDx + anchorDx, endY = controlDy + anchorDy;
        std::int32_t c1x = controlDx / 2, c1y = controlDy / 2;
        std::int32_t c2x = controlDx + anchorDx / 2, c2y = controlDy + anchorDy / 2;
        std::int32_t midX = c1x + (c2x - c1x) / 2, midY = c1y + (c2y - c1y) / 2;
        writeCurvedEdge(writer, c1x, c1y, midX - c1x, midY - c1y);
        writeCurvedEdge(writer, c2x - midX, c2y - midY, endX - c2x, endY - c2y);
        return;
    }
    writer.writeBits(1, 1);  // TypeFlag: edge
    writer.writeBits(1, 0);  // StraightFlag 0: curved
    writer.writeBits(4, static_cast<std::uint32_t>(b));
    writer.writeSignedBits(b + 2, controlDx);
    writer.writeSignedBits(b + 2, controlDy);
    writer.writeSignedBits(b + 2, anchorDx);
    writer.writeSignedBits(b + 2, anchorDy);
}

void appendCoordinates(std::string& path, std::initializer_list<std::int32_t> values) {
    for (std::int32_t v : values) {
        path += ' ';
        path += std::to_string(v);
    }
}

}  // namespace

void Line::draw(std::string& svgPath) const {
    svgPath += " L";
    appendCoordinates(svgPath, {x2, y2});
}

void Line::write(SWFBitWriter& writer, int scale) const {
    writeStraightEdge(writer, (x2 - x1) * scale, (y1 - y2) * scale);
}

void Curve::draw(std::string& svgPath) const {
    svgPath += " Q";
    appendCoordinates(svgPath, {cx, cy, x2, y2});
}

void Curve::write(SWFBitWriter& writer, int scale) const {
    writeCurvedEdge(writer, (cx - x0) * scale, (y0 - cy) * scale, (x2 - cx) * scale, (cy - y2) * scale);
}

void OutlineBounds::add(std::int32_t x, std::int32_t y) {
    if (empty) {
        xMin = xMax = x;
        yMin = yMax = y;
        empty = false;
        return;
    }
    xMin = std::min(xMin, x);
    xMax = std::max(xMax, x);
    yMin = std::min(yMin, y);
    yMax = std::max(yMax, y);
}

void Line::extendBounds(OutlineBounds& bounds) const {
    bounds.add(x1, y1);
    bounds.add(x2, y2);
}

namespace {

// The extremes of one coordinate of a quadratic Bézier p0, c, p2 between its ends, where
// the derivative is zero, rounded outwards to whole units: {low, high}.
std::pair<std::int32_t, std::int32_t> curveExtent(std::int32_t p0, std::int32_t c, std::int32_t p2) {
    std::int32_t low = std::min(p0, p2), high = std::max(p0, p2);
    const double denominator = double(p0) - 2.0 * c + p2;
    if (denominator != 0) {
        const double t = (double(p0) - c) / denominator;
        if (t > 0 && t < 1) {
            const double v = (1 - t) * (1 - t) * p0 + 2 * t * (1 - t) * c + t * t * p2;
            low = std::min(low, static_cast<std::int32_t>(std::floor(v)));
            high = std::max(high, static_cast<std::int32_t>(std::ceil(v)));
        }
    }
    return {low, high};
}

}  // namespace

void Curve::extendBounds(OutlineBounds& bounds) const {
    auto [xLow, xHigh] = curveExtent(x0, cx, x2);
    auto [yLow, yHigh] = curveExtent(y0, cy, y2);
    bounds.add(xLow, yLow);
    bounds.add(xHigh, yHigh);
}

}  // namespace tarvenox
