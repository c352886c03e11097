#include "hostsim/model/CurveChords.h"

namespace hostsim {

Box SegmentBox(const Segment& s) {
    Box box;
    box.Add(s.p0, s.slack);
    box.Add(s.p1, s.slack);
    return box;
}

// Chords of a curve. An interpolated piece is cut into equal parameter steps so that each
// chord strays from the curve by at most a tenth of the tolerance: a chord over a parameter
// step h strays by at most h^2 / 8 times the largest second derivative, which on a piece of a
// cubic spline is reached at one of its ends.
std::vector<Segment> Flatten(const Curve& curve, double tolerance) {
    std::vector<Segment> segments;
    segments.reserve(curve.PieceCount());
    for (std::size_t piece = 0; piece < curve.PieceCount(); ++piece) {
        const double t0 = curve.Knot(piece);
        const double t1 = curve.Knot(piece + 1);
        if (curve.IsStraight()) {
            segments.push_back({curve.Points()[piece], curve.Points()[piece + 1], t0, t1, 0.0, piece});
            continue;
        }
        const double curvature =
            std::max(Length(curve.SecondDerivativeAt(t0)), Length(curve.SecondDerivativeAt(std::nextafter(t1, t0))));
        const double h = t1 - t0;
        const double wanted = std::ceil(h * std::sqrt(curvature / (8.0 * 0.1 * tolerance)));
        const int steps = static_cast<int>(std::clamp(wanted, 1.0, 64.0));
        const double step = h / steps;
        const double slack = step * step / 8.0 * curvature;
        Vec3 previous = curve.Points()[piece];
        for (int k = 1; k <= steps; ++k) {
            const double ta = t0 + (k - 1) * step;
            const double tb = k == steps ? t1 : t0 + k * step;
            const Vec3 next = k == steps ? curve.Points()[piece + 1] : curve.PointAt(tb);
            segments.push_back({previous, next, ta, tb, slack, piece});
            previous = next;
        }
    }
    return segments;
}

// Closest points of segments p0-p1 and q0-q1, as fractions along each (Ericson, "Real-Time
// Collision Detection", 5.1.9).
void ClosestFractions(Vec3 p0, Vec3 p1, Vec3 q0, Vec3 q1, double& s, double& t) {
    const Vec3 d1 = p1 - p0;
    const Vec3 d2 = q1 - q0;
    const Vec3 r = p0 - q0;
    const double a = Dot(d1, d1);
    const double e = Dot(d2, d2);
    const double f = Dot(d2, r);
    if (a <= 0.0 && e <= 0.0) {
        s = t = 0.0;
        return;
    }
    if (a <= 0.0) {
        s = 0.0;
        t = std::clamp(f / e, 0.0, 1.0);
        return;
    }
    const double c = Dot(d1, r);
    if (e <= 0.0) {
        t = 0.0;
        s = std::clamp(-c / a, 0.0, 1.0);
        return;
    }
    const double b = Dot(d1, d2);
    const double denominator = a * e - b * b;
    s = denominator > 1e-14 * a * e ? std::clamp((b * f - c * e) / denominator, 0.0, 1.0) : 0.0;
    t = (b * s + f) / e;
    if (t < 0.0) {
        t = 0.0;
        s = std::clamp(-c / a, 0.0, 1.0);
    } else if (t > 1.0) {
        t = 1.0;
        s = std::clamp((b - c) / a, 0.0, 1.0);
    }
}

}  // namespace hostsim
