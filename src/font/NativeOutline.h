// The native glyph outline layout: polygons of line and quadratic spline records in
// 16.16 fixed point, as a font engine hands out one character's outline.
#pragma once

#include <cstdint>
#include <vector>

#include "common/Bytes.h"

namespace tarvenox {

// A 16.16 fixed-point number as it is stored: the unsigned 16-bit fraction followed by
// the signed 16-bit integer part, which read together little-endian is the value times
// 65536 as a signed 32-bit integer.
using Fixed = std::int32_t;

constexpr Fixed fixedFromParts(std::int16_t integer, std::uint16_t fraction) {
    return static_cast<Fixed>(static_cast<std::uint32_t>(static_cast<std::uint16_t>(integer)) << 16 | fraction);
}

// Outline units are 1/16 pixel: the fixed value divided by 4096, truncated toward
// zero, so -0.03 pixels become 0 rather than -1.
constexpr std::int32_t fixedToOutlineUnits(Fixed value) { return value / 4096; }

struct PointFx {
    Fixed x = 0;
    Fixed y = 0;
    bool operator==(const PointFx&) const = default;
};

// The 2x2 matrix applied to every outline point: x' = x*eM11 + y*eM21,
// y' = x*eM12 + y*eM22.
struct OutlineMatrix {
    Fixed eM11 = fixedFromParts(1, 0);
    Fixed eM12 = 0;
    Fixed eM21 = 0;
    Fixed eM22 = fixedFromParts(1, 0);

    PointFx apply(PointFx p) const;
};

enum class CurveType : std::uint16_t {
    Line = 1,     // TT_PRIM_LINE: straight lines through each point
    QSpline = 2,  // TT_PRIM_QSPLINE: quadratic B-spline, implied on-curve midpoints left out
    CSpline = 3,  // TT_PRIM_CSPLINE: cubic, which the glyph model does not take
};

// Record sizes of the layout.
inline constexpr std::size_t polygonHeaderSize = 16;  // cb, dwType, pfxStart
inline constexpr std::size_t curveHeaderSize = 4;     // wType, cpfx
inline constexpr std::size_t pointFxSize = 8;
// The dwType every polygon carries (TT_POLYGON_TYPE); readers do not examine it.
inline constexpr std::uint32_t polygonType = 24;

// Builds a native outline buffer polygon by polygon. Records are written as given;
// merging of spline records is left to the caller, which knows where on-curve points
// are implied.
class NativeOutlineWriter {
public:
    // Ends the current polygon (if any) and starts a new one at start.
    void beginPolygon(PointFx start);
    // Appends a record to the current polygon (a polygon must have been begun).
    void addRecord(CurveType type, const std::vector<PointFx>& points);

    bool empty() const { return bytes_.empty(); }
    // The finished buffer; the writer is empty afterwards.
    Bytes take();

private:
    void closePolygon();

    Bytes bytes_;
    std::size_t polygonStart_ = 0;
    bool open_ = false;
};

}  // namespace tarvenox
