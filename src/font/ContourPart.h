// The segments of a glyph outline: straight lines and quadratic curves, in outline
// units (1/16 pixel, y upwards).
#pragma once

#include <cstdint>
#include <string>

namespace tarvenox {

class SWFBitWriter;

// A box in outline units, y upwards; empty until a point is added.
struct OutlineBounds {
    bool empty = true;
    std::int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    void add(std::int32_t x, std::int32_t y);
};

class ContourPart {
public:
    virtual ~ContourPart() = default;
    // Appends the segment to SVG path data, in outline units, y not flipped. The path
    // is already at the segment's start point.
    virtual void draw(std::string& svgPath) const = 0;
    // Appends the segment's SWF edge record (y negated: SWF's y axis grows downwards),
    // every coordinate multiplied by scale.
    virtual void write(SWFBitWriter& writer, int scale = 1) const = 0;
    // Adds the points the segment passes through, its end points and its extremes.
    virtual void extendBounds(OutlineBounds& bounds) const = 0;
};

class Line final : public ContourPart {
public:
    Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) : x1(x1), y1(y1), x2(x2), y2(y2) {}

    void draw(std::string& svgPath) const override;
    void write(SWFBitWriter& writer, int scale = 1) const override;
    void extendBounds(OutlineBounds& bounds) const override;

    std::int32_t x1, y1;  // start
    std::int32_t x2, y2;  // end
};

// A quadratic Bézier segment. The points are whole outline units, so every difference
// between them is exact.
class Curve final : public ContourPart {
public:
    Curve(std::int32_t x0, std::int32_t y0, std::int32_t cx, std::int32_t cy, std::int32_t x2, std::int32_t y2)
        : x0(x0), y0(y0), cx(cx), cy(cy), x2(x2), y2(y2) {}

    void draw(std::string& svgPath) const override;
    void write(SWFBitWriter& writer, int scale = 1) const override;
    // The curve's own extremes, not its control point, which it does not reach.
    void extendBounds(OutlineBounds& bounds) const override;

    std::int32_t x0, y0;  // start
    std::int32_t cx, cy;  // control point
    std::int32_t x2, y2;  // end
};

}  // namespace tarvenox
