// Solid shapes drawn from outlines.
#include "ShapeOutline.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "swf/SWFBitWriter.h"
#include "swf/SWFRect.h"

namespace tarvenox::tools {

namespace {

std::int32_t twips(double pixels) { return static_cast<std::int32_t>(std::lround(pixels * 20)); }

// The width of an edge record's fields: the widest delta, at least 2 bits; the record
// stores it less 2 in 4 bits.
int edgeBits(std::initializer_list<std::int32_t> deltas) {
    int bits = 2;
    for (std::int32_t delta : deltas) bits = std::max(bits, signedBitCount(delta));
    if (bits > 17) throw std::runtime_error("a shape edge is longer than an edge record holds");
    return bits;
}

}  // namespace

ShapeOutline ShapeOutline::rectangle(std::uint32_t rgba, double width, double height) {
    return polygon(rgba, {{0, 0}, {width, 0}, {width, height}, {0, height}});
}

ShapeOutline ShapeOutline::ellipse(std::uint32_t rgba, double width, double height) {
    // Eight quadratic curves, one per eighth of a turn: each control point lies where the
    // tangents at the two ends meet, 1 / cos(22.5 degrees) out from the centre.
    const double rx = width / 2, ry = height / 2;
    const double step = std::numbers::pi / 4;
    const double out = 1 / std::cos(step / 2);
    ShapeOutline shape(rgba);
    shape.moveTo(rx + rx, ry);
    for (int i = 1; i <= 8; ++i) {
        double middle = (i - 0.5) * step, end = i * step;
        shape.curveTo(rx + rx * out * std::cos(middle), ry + ry * out * std::sin(middle), rx + rx * std::cos(end),
                      ry + ry * std::sin(end));
    }
    return shape;
}

ShapeOutline ShapeOutline::polygon(std::uint32_t rgba, const std::vector<std::pair<double, double>>& points) {
    ShapeOutline shape(rgba);
    if (points.empty()) return shape;
    shape.moveTo(points[0].first, points[0].second);
    for (std::size_t i = 1; i < points.size(); ++i) shape.lineTo(points[i].first, points[i].second);
    shape.lineTo(points[0].first, points[0].second);
    return shape;
}

ShapeOutline& ShapeOutline::moveTo(double x, double y) {
    edges_.push_back({.move = true, .x = twips(x), .y = twips(y)});
    return *this;
}

ShapeOutline& ShapeOutline::lineTo(double x, double y) {
    edges_.push_back({.x = twips(x), .y = twips(y)});
    return *this;
}

ShapeOutline& ShapeOutline::curveTo(double controlX, double controlY, double x, double y) {
    edges_.push_back(
        {.curve = true, .controlX = twips(controlX), .controlY = twips(controlY), .x = twips(x), .y = twips(y)});
    return *this;
}

Bytes ShapeOutline::defineShape3(std::uint16_t id) const {
    if (edges_.empty() || !edges_.front().move) throw std::runtime_error("a shape outline starts with a move");
    SWFRect bounds{edges_[0].x, edges_[0].x, edges_[0].y, edges_[0].y, 0};
    for (const Edge& edge : edges_) {
        for (auto [x, y] : {std::pair{edge.x, edge.y},
                            std::pair{edge.curve ? edge.controlX : edge.x, edge.curve ? edge.controlY : edge.y}}) {
            bounds.xMin = std::min(bounds.xMin, x);
            bounds.xMax = std::max(bounds.xMax, x);
            bounds.yMin = std::min(bounds.yMin, y);
            bounds.yMax = std::max(bounds.yMax, y);
        }
    }
    SWFBitWriter shape;
    shape.writeAlignedUI16(id);
    bounds.write(shape);
    shape.writeAlignedByte(1);  // FillStyleCount
    shape.writeAlignedByte(0);  // solid fill, RGBA
    for (int shift : {24, 16, 8, 0}) shape.writeAlignedByte(static_cast<std::uint8_t>(rgba_ >> shift));
    shape.writeAlignedByte(0);     // LineStyleCount
    shape.writeAlignedByte(0x10);  // NumFillBits 1, NumLineBits 0

    std::int32_t x = 0, y = 0;
    bool styled = false;
    for (const Edge& edge : edges_) {
        if (edge.move) {
            // StyleChangeRecord: a move to the absolute point; the first one also takes
            // fill style 1 as FillStyle0, which stays for the outlines after it.
            shape.writeBits(6, styled ? 0b000001 : 0b000011);
            int bits = std::max(signedBitCount(edge.x), signedBitCount(edge.y));
            shape.writeBits(5, static_cast<std::uint32_t>(bits));
            shape.writeSignedBits(bits, edge.x);
            shape.writeSignedBits(bits, edge.y);
            if (!styled) shape.writeBits(1, 1);
            styled = true;
        } else if (edge.curve) {
            std::int32_t deltas[4] = {edge.controlX - x, edge.controlY - y, edge.x - edge.controlX,
                                      edge.y - edge.controlY};
            int bits = edgeBits({deltas[0], deltas[1], deltas[2], deltas[3]});
            shape.writeBits(2, 0b10);  // TypeFlag, curved
            shape.writeBits(4, static_cast<std::uint32_t>(bits - 2));
            for (std::int32_t delta : deltas) shape.writeSignedBits(bits, delta);
        } else {
            std::int32_t dx = edge.x - x, dy = edge.y - y;
            int bits = edgeBits({dx, dy});
            shape.writeBits(2, 0b11);  // TypeFlag, StraightFlag
            shape.writeBits(4, static_cast<std::uint32_t>(bits - 2));
            if (dx != 0 && dy != 0) {
                shape.writeBits(1, 1);  // GeneralLineFlag
                shape.writeSignedBits(bits, dx);
                shape.writeSignedBits(bits, dy);
            } else {
                shape.writeBits(1, 0);
                shape.writeBits(1, dx == 0 ? 1 : 0);  // VertLineFlag
                shape.writeSignedBits(bits, dx == 0 ? dy : dx);
            }
        }
        x = edge.x;
        y = edge.y;
    }
    shape.writeBits(6, 0);  // EndShapeRecord
    return shape.take();
}

}  // namespace tarvenox::tools
