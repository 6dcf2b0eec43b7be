// Native outline buffers for tests, with points given in outline units (1/16 pixel).
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "font/Glyph.h"
#include "font/NativeOutline.h"

namespace tarvenox::test {

inline PointFx units(std::int32_t x, std::int32_t y) { return {x * 4096, y * 4096}; }

struct TestRecord {
    CurveType type;
    std::vector<std::pair<int, int>> points;  // outline units
};

struct TestPolygon {
    std::pair<int, int> start;
    std::vector<TestRecord> records;
};

inline Bytes nativeOutline(std::initializer_list<TestPolygon> polygons) {
    NativeOutlineWriter writer;
    for (const TestPolygon& polygon : polygons) {
        writer.beginPolygon(units(polygon.start.first, polygon.start.second));
        for (const TestRecord& record : polygon.records) {
            std::vector<PointFx> points;
            for (auto [x, y] : record.points) points.push_back(units(x, y));
            writer.addRecord(record.type, points);
        }
    }
    return writer.take();
}

// The glyph's contours as SVG path data ("M x y L x y Q cx cy x y Z"), y upwards.
inline std::string path(const Glyph& glyph) {
    std::string svg;
    glyph.draw(svg);
    return svg;
}

}  // namespace tarvenox::test
