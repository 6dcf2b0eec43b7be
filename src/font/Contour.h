// One closed outline of a glyph: segments in drawing order from a start point back to it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "font/ContourPart.h"

namespace tarvenox {

class SWFBitWriter;

class Contour {
public:
    Contour(std::int32_t startX, std::int32_t startY) : startX(startX), startY(startY) {}

    void append(std::unique_ptr<ContourPart> part) { parts.push_back(std::move(part)); }

    // Appends "M x y", every part, then "Z".
    void draw(std::string& svgPath) const;
    // A StyleChangeRecord moving to the start point (the first contour of a glyph also
    // selects fill style 1), then the edge record of every part; coordinates multiplied
    // by scale.
    void write(SWFBitWriter& writer, bool firstContour, int scale = 1) const;

    // The first part starts at the start point, each part where the previous one ends,
    // and the last part ends at the start point.
    std::vector<std::unique_ptr<ContourPart>> parts;
    std::int32_t startX, startY;
};

}  // namespace tarvenox
