// FreeType outlines written in the native outline layout.
#include "font/FreeTypeOutline.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace tarvenox {

namespace {

struct Record {
    CurveType type;
    std::vector<PointFx> points;
};

class OutlineWalker {
public:
    explicit OutlineWalker(const OutlineMatrix& matrix) : matrix_(matrix) {}

    void moveTo(const FT_Vector& to) {
        flushPolygon();
        start_ = toFixed(to.x, to.y);
        current_ = to;
        open_ = true;
        lastWasConic_ = false;
    }

    void lineTo(const FT_Vector& to) {
        if (records_.empty() || records_.back().type != CurveType::Line) {
            records_.push_back({CurveType::Line, {}});
        }
        records_.back().points.push_back(toFixed(to.x, to.y));
        current_ = to;
        lastWasConic_ = false;
    }

    void conicTo(const FT_Vector& control, const FT_Vector& to) {
        // FT_Outline_Decompose hands an implied on-curve point over as the end of a
        // conic segment, computed as (a + b) / 2 on the unscaled values; when this
        // segment's start is exactly that point, the two segments form one spline.
        if (lastWasConic_ && current_.x == (lastControl_.x + control.x) / 2 &&
            current_.y == (lastControl_.y + control.y) / 2) {
            auto& points = records_.back().points;
            points.back() = toFixed(control.x, control.y);
            points.push_back(toFixed(to.x, to.y));
        } else {
            records_.push_back({CurveType::QSpline, {toFixed(control.x, control.y), toFixed(to.x, to.y)}});
        }
        lastControl_ = control;
        current_ = to;
        lastWasConic_ = true;
    }

    void cubicTo(const FT_Vector& c1, const FT_Vector& c2, const FT_Vector& to);

    Bytes finish() {
        flushPolygon();
        return writer_.take();
    }

private:
    PointFx toFixed(double x, double y) const {
        auto fixed = [](double v) {
            double scaled = std::round(v * 1024.0);  // 26.6 to 16.16
            return static_cast<Fixed>(std::clamp(scaled, double(std::numeric_limits<Fixed>::min()),
                                                 double(std::numeric_limits<Fixed>::max())));
        };
        return matrix_.apply({fixed(x), fixed(y)});
    }

    void flushPolygon() {
        if (!open_) return;
        if (!records_.empty() && records_.back().type == CurveType::Line && records_.back().points.back() == start_) {
            records_.back().points.pop_back();
            if (records_.back().points.empty()) records_.pop_back();
        }
        writer_.beginPolygon(start_);
        for (const Record& r : records_) writer_.addRecord(r.type, r.points);
        records_.clear();
        open_ = false;
    }

    const OutlineMatrix& matrix_;
    NativeOutlineWriter writer_;
    std::vector<Record> records_;
    PointFx start_;
    FT_Vector current_{};
    FT_Vector lastControl_{};
    bool lastWasConic_ = false;
    bool open_ = false;
};

struct Vec {
    double x, y;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
Vec operator*(double k, Vec a) { return {k * a.x, k * a.y}; }

// Splits the cubic into n pieces and replaces each by the quadratic through its end
// points whose control point is (3 (Q1 + Q2) - Q0 - Q3) / 4. That quadratic is off by at
// most sqrt(3)/36 |P3 - 3 P2 + 3 P1 - P0| / n^3, which n keeps below 1/64 pixel.
void OutlineWalker::cubicTo(const FT_Vector& c1, const FT_Vector& c2, const FT_Vector& to) {
    const Vec p0{double(current_.x), double(current_.y)};
    const Vec p1{double(c1.x), double(c1.y)}, p2{double(c2.x), double(c2.y)};
    const Vec p3{double(to.x), double(to.y)};
    const Vec d = p3 - 3.0 * p2 + 3.0 * p1 - p0;
    const double error = std::sqrt(3.0) / 36.0 * std::hypot(d.x, d.y);  // in 1/64 pixel
    const int n = std::clamp(static_cast<int>(std::ceil(std::cbrt(error))), 1, 16);

    auto at = [&](double t) {
        double u = 1 - t;
        return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
    };
    auto derivative = [&](double t) {
        double u = 1 - t;
        return 3 * u * u * (p1 - p0) + 6 * u * t * (p2 - p1) + 3 * t * t * (p3 - p2);
    };
    for (int i = 0; i < n; ++i) {
        double t0 = double(i) / n, t1 = double(i + 1) / n, h = (t1 - t0) / 3;
        Vec q0 = at(t0), q3 = i + 1 == n ? p3 : at(t1);
        Vec q1 = q0 + h * derivative(t0), q2 = q3 - h * derivative(t1);
        Vec control = 0.25 * (3.0 * (q1 + q2) - q0 - q3);
        records_.push_back({CurveType::QSpline, {toFixed(control.x, control.y), toFixed(q3.x, q3.y)}});
    }
    current_ = to;
    lastWasConic_ = false;
}

OutlineWalker& walker(void* user) { return *static_cast<OutlineWalker*>(user); }

}  // namespace

Bytes outlineToNative(const FT_Outline& outline, const OutlineMatrix& matrix) {
    OutlineWalker w(matrix);
    FT_Outline_Funcs funcs{};
    funcs.move_to = [](const FT_Vector* to, void* user) {
        walker(user).moveTo(*to);
        return 0;
    };
    funcs.line_to = [](const FT_Vector* to, void* user) {
        walker(user).lineTo(*to);
        return 0;
    };
    funcs.conic_to = [](const FT_Vector* control, const FT_Vector* to, void* user) {
        walker(user).conicTo(*control, *to);
        return 0;
    };
    funcs.cubic_to = [](const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
        walker(user).cubicTo(*c1, *c2, *to);
        return 0;
    };
    // FT_Outline_Decompose takes a non-const outline but does not change it.
    if (FT_Outline_Decompose(const_cast<FT_Outline*>(&outline), &funcs, &w) != 0) return {};
    return w.finish();
}

}  // namespace tarvenox
