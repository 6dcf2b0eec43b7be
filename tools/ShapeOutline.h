// Solid shapes drawn from outlines of straight and curved edges: the panels, frames and
// round buttons of interface movies.
#pragma once

#include <cstdint>
#include <vector>

#include "common/Bytes.h"

namespace tarvenox::tools {

// One filled area: closed outlines in pixels (20 twips each), filled with one colour
// with alpha (0xRRGGBBAA). Outlines that overlap cut holes into each other, as the
// player fills edges in pairs.
class ShapeOutline {
public:
    explicit ShapeOutline(std::uint32_t rgba) : rgba_(rgba) {}

    // A rectangle, an ellipse in the rectangle and a polygon, each a closed outline.
    static ShapeOutline rectangle(std::uint32_t rgba, double width, double height);
    static ShapeOutline ellipse(std::uint32_t rgba, double width, double height);
    static ShapeOutline polygon(std::uint32_t rgba, const std::vector<std::pair<double, double>>& points);

    // A new outline starts at (x, y); the edges draw from the last point. An outline is
    // closed by an edge back to its start.
    ShapeOutline& moveTo(double x, double y);
    ShapeOutline& lineTo(double x, double y);
    ShapeOutline& curveTo(double controlX, double controlY, double x, double y);

    // A DefineShape3 body (colours with alpha) of the outlines.
    Bytes defineShape3(std::uint16_t id) const;

private:
    struct Edge {
        bool move = false;
        bool curve = false;
        std::int32_t controlX = 0, controlY = 0;  // twips
        std::int32_t x = 0, y = 0;                // twips, where the edge ends
    };

    std::uint32_t rgba_;
    std::vector<Edge> edges_;
};

}  // namespace tarvenox::tools
