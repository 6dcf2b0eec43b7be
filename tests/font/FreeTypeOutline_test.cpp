// FreeType outlines in the native layout: hand-made outlines for the cases that
// FT_Outline_Decompose handles specially, read back with the glyph parser.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "NativeOutlineBuilder.h"
#include "font/FreeTypeOutline.h"

namespace tarvenox {
namespace {

using test::path;

constexpr char On = FT_CURVE_TAG_ON;
constexpr char Conic = FT_CURVE_TAG_CONIC;
constexpr char Cubic = FT_CURVE_TAG_CUBIC;

// An outline of one or more contours; points in pixels (26.6 inside).
struct HandOutline {
    std::vector<FT_Vector> points;
    std::vector<char> tags;
    std::vector<short> ends;

    HandOutline& contour(std::initializer_list<std::tuple<double, double, char>> pts) {
        for (auto [x, y, tag] : pts) {
            points.push_back({FT_Pos(x * 64), FT_Pos(y * 64)});
            tags.push_back(tag);
        }
        ends.push_back(static_cast<short>(points.size() - 1));
        return *this;
    }

    FT_Outline outline() {
        FT_Outline o{};
        o.n_contours = static_cast<short>(ends.size());
        o.n_points = static_cast<short>(points.size());
        o.points = points.data();
        o.tags = tags.data();
        o.contours = ends.data();
        return o;
    }
};

struct Record {
    CurveType type;
    int points;
    bool operator==(const Record&) const = default;
};

// The polygons' records (type and point count), to see how segments were grouped.
std::vector<std::vector<Record>> records(const Bytes& buffer) {
    std::vector<std::vector<Record>> polygons;
    std::size_t pos = 0;
    while (pos + 16 <= buffer.size()) {
        std::size_t cb = buffer[pos] | buffer[pos + 1] << 8;
        polygons.emplace_back();
        for (std::size_t r = pos + 16; r + 4 <= pos + cb;) {
            int type = buffer[r], count = buffer[r + 2];
            polygons.back().push_back({static_cast<CurveType>(type), count});
            r += 4 + 8 * count;
        }
        pos += cb;
    }
    return polygons;
}

constexpr CurveType L = CurveType::Line;
constexpr CurveType Q = CurveType::QSpline;
const OutlineMatrix identity;

TEST(FreeTypeOutline, LinesLeaveTheClosingLineToTheReader) {
    HandOutline h;
    h.contour({{0, 0, On}, {1, 0, On}, {1, 1, On}});
    FT_Outline o = h.outline();
    Bytes buffer = outlineToNative(o, identity);
    EXPECT_EQ(records(buffer), (std::vector<std::vector<Record>>{{{L, 2}}}));
    EXPECT_EQ(path(Glyph(buffer)), "M 0 0 L 16 0 L 16 16 L 0 0 Z");
}

TEST(FreeTypeOutline, ConsecutiveConicsShareOneSplineRecord) {
    // on, off, off, on: the implied midpoint of the two off points is left out.
    HandOutline h;
    h.contour({{0, 0, On}, {0, 2, Conic}, {2, 2, Conic}, {2, 0, On}});
    FT_Outline o = h.outline();
    Bytes buffer = outlineToNative(o, identity);
    EXPECT_EQ(records(buffer), (std::vector<std::vector<Record>>{{{Q, 3}}}));
    EXPECT_EQ(path(Glyph(buffer)), "M 0 0 Q 0 32 16 32 Q 32 32 32 0 L 0 0 Z");
}

TEST(FreeTypeOutline, ContoursStartingOffTheCurve) {
    // First point conic, last on: the contour starts at the last point.
    HandOutline lastOn;
    lastOn.contour({{1, 2, Conic}, {2, 0, On}, {0, 0, On}});
    FT_Outline o1 = lastOn.outline();
    EXPECT_EQ(path(Glyph(outlineToNative(o1, identity))), "M 0 0 Q 16 32 32 0 L 0 0 Z");

    // All points conic: the contour starts between the first and the last, and the
    // spline record runs all the way round back to that point.
    HandOutline allOff;
    allOff.contour({{0, 2, Conic}, {2, 2, Conic}, {2, 0, Conic}, {0, 0, Conic}});
    FT_Outline o2 = allOff.outline();
    Bytes buffer = outlineToNative(o2, identity);
    EXPECT_EQ(records(buffer), (std::vector<std::vector<Record>>{{{Q, 5}}}));
    EXPECT_EQ(path(Glyph(buffer)), "M 0 16 Q 0 32 16 32 Q 32 32 32 16 Q 32 0 16 0 Q 0 0 0 16 L 0 16 Z");
}

TEST(FreeTypeOutline, OnePointContoursAndSeveralContoursAreKept) {
    HandOutline h;
    h.contour({{3, 3, On}}).contour({{0, 0, On}, {1, 0, On}});
    FT_Outline o = h.outline();
    Bytes buffer = outlineToNative(o, identity);
    EXPECT_EQ(records(buffer), (std::vector<std::vector<Record>>{{}, {{L, 1}}}));
    EXPECT_EQ(path(Glyph(buffer)), "M 48 48 L 48 48 Z M 0 0 L 16 0 L 0 0 Z");
}

TEST(FreeTypeOutline, CubicsBecomeQuadraticsEndingExactly) {
    // A quarter circle of radius 10 pixels as a cubic.
    HandOutline h;
    h.contour({{10, 0, On}, {10, 5.5, Cubic}, {5.5, 10, Cubic}, {0, 10, On}, {0, 0, On}});
    FT_Outline o = h.outline();
    Bytes buffer = outlineToNative(o, identity);
    auto polygons = records(buffer);
    ASSERT_EQ(polygons.size(), 1u);
    ASSERT_GE(polygons[0].size(), 2u);
    for (std::size_t i = 0; i + 1 < polygons[0].size(); ++i) EXPECT_EQ(polygons[0][i], (Record{Q, 2}));
    EXPECT_EQ(polygons[0].back(), (Record{L, 1}));

    Glyph glyph(buffer);
    const auto& parts = glyph.contours()[0].parts;
    auto* lastCurve = dynamic_cast<const Curve*>(parts[parts.size() - 3].get());
    ASSERT_NE(lastCurve, nullptr);
    EXPECT_EQ(lastCurve->x2, 0);
    EXPECT_EQ(lastCurve->y2, 160);
    // Every piece stays close to the circle of radius 160 units.
    for (std::size_t i = 0; i + 2 < parts.size(); ++i) {
        auto* c = dynamic_cast<const Curve*>(parts[i].get());
        ASSERT_NE(c, nullptr);
        double r = std::hypot(c->x2, c->y2);
        EXPECT_NEAR(r, 160, 2) << "piece " << i;
    }
}

TEST(FreeTypeOutline, MatrixAppliesToEveryPoint) {
    HandOutline h;
    h.contour({{-1, -1, On}, {1, -1, On}, {-1, 2, On}});
    FT_Outline o = h.outline();
    // Identity plus 1/65536 in every entry, as the extraction uses. (-1, -1) pixels
    // become -1 - 2/65536 and still truncate to -16 units, but x = -1 at y = 2 becomes
    // -1 + 1/65536, which truncates to -15.
    OutlineMatrix nearIdentity{fixedFromParts(1, 1), fixedFromParts(0, 1), fixedFromParts(0, 1), fixedFromParts(1, 1)};
    EXPECT_EQ(path(Glyph(outlineToNative(o, nearIdentity))), "M -16 -16 L 16 -16 L -15 32 L -16 -16 Z");
    // A plain scale by 2 and a swap of the axes.
    OutlineMatrix swap{0, fixedFromParts(2, 0), fixedFromParts(2, 0), 0};
    EXPECT_EQ(path(Glyph(outlineToNative(o, swap))), "M -32 -32 L -32 32 L 64 -32 L -32 -32 Z");
}

}  // namespace
}  // namespace tarvenox
