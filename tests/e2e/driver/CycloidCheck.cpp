#include "CycloidCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "common/BlankTrim.h"
#include "construct/CycloidGenerator.h"

namespace driver {

namespace {

using common::HostPoint;

HostPoint Sub(const HostPoint& a, const HostPoint& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
HostPoint Add(const HostPoint& a, const HostPoint& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
HostPoint Scale(const HostPoint& a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
double Dot(const HostPoint& a, const HostPoint& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
double Distance(const HostPoint& a, const HostPoint& b) {
    return std::sqrt(Dot(Sub(a, b), Sub(a, b)));
}

// Closest points of two segments (the standard clamped solution); answers the point on the
// first segment and the distance between the two closest points.
std::pair<HostPoint, double> ClosestOnSegments(const HostPoint& p0,
                                               const HostPoint& p1,
                                               const HostPoint& q0,
                                               const HostPoint& q1) {
    const HostPoint d1 = Sub(p1, p0);
    const HostPoint d2 = Sub(q1, q0);
    const HostPoint r = Sub(p0, q0);
    const double a = Dot(d1, d1);
    const double e = Dot(d2, d2);
    const double f = Dot(d2, r);
    double s = 0;
    double t = 0;
    if (a <= 0 && e <= 0) {
        return {p0, Distance(p0, q0)};
    }
    if (a <= 0) {
        t = std::clamp(f / e, 0.0, 1.0);
    } else {
        const double c = Dot(d1, r);
        if (e <= 0) {
            s = std::clamp(-c / a, 0.0, 1.0);
        } else {
            const double b = Dot(d1, d2);
            const double denom = a * e - b * b;
            s = denom > 0 ? std::clamp((b * f - c * e) / denom, 0.0, 1.0) : 0.0;
            t = (b * s + f) / e;
            if (t < 0) {
                t = 0;
                s = std::clamp(-c / a, 0.0, 1.0);
            } else if (t > 1) {
                t = 1;
                s = std::clamp((b - c) / a, 0.0, 1.0);
            }
        }
    }
    const HostPoint onP = Add(p0, Scale(d1, s));
    const HostPoint onQ = Add(q0, Scale(d2, t));
    return {onP, Distance(onP, onQ)};
}

const HostObject& StraightCurve(const HostDocument& document, const std::string& id, const char* role) {
    const HostObject* curve = document.Find(common::TrimBlanks(id));
    if (curve == nullptr) {
        throw std::runtime_error(std::string("the ") + role + " \"" + id + "\" is not in the document");
    }
    if (curve->kind != "line" && curve->kind != "polyline") {
        throw std::runtime_error(std::string("the ") + role + " is a " + curve->kind +
                                 "; the check computes hits on lines and polylines only");
    }
    return *curve;
}

}  // namespace

std::string PointText(const HostPoint& p) {
    char buffer[128];
    std::snprintf(buffer, sizeof(buffer), "(%.17g, %.17g, %.17g)", p.x, p.y, p.z);
    return buffer;
}

std::optional<HostPoint> ProbeHit(const HostPoint& from,
                                  const HostPoint& to,
                                  const std::vector<HostPoint>& vertices,
                                  double tolerance) {
    for (std::size_t i = 0; i + 1 < vertices.size(); ++i) {
        const auto [onProbe, distance] = ClosestOnSegments(from, to, vertices[i], vertices[i + 1]);
        if (distance <= tolerance) {
            return onProbe;
        }
    }
    return std::nullopt;
}

std::vector<CurveExpectation> ExpectedCurves(const HostDocument& document,
                                             const std::vector<std::string>& listRows,
                                             const std::string& xyId,
                                             const std::string& yzId,
                                             double stepDegrees,
                                             bool bothSides) {
    const HostObject& xy = StraightCurve(document, xyId, "XY curve");
    const HostObject& yz = StraightCurve(document, yzId, "YZ curve");
    std::vector<CurveExpectation> expected;
    for (const std::string& row : listRows) {
        const HostObject* point = document.Find(common::TrimBlanks(row));
        if (point == nullptr || point->kind != "point") {
            continue;
        }
        CurveExpectation curve;
        curve.pointId = point->id;
        curve.p = point->points.at(0);
        const std::optional<HostPoint> h1 = ProbeHit(curve.p, {-5000, curve.p.y, curve.p.z}, xy.points);
        const std::optional<HostPoint> h2 = ProbeHit(curve.p, {curve.p.x, curve.p.y, 5000}, yz.points);
        if (!h1 || !h2) {
            throw std::runtime_error("a probe from " + PointText(curve.p) + " misses its curve");
        }
        curve.xyHit = *h1;
        curve.yzHit = *h2;
        curve.samples = construct::CycloidSamples(curve.p, curve.xyHit, curve.yzHit, stepDegrees, bothSides);
        expected.push_back(std::move(curve));
    }
    return expected;
}

std::string CompareCurves(const std::vector<CurveExpectation>& expected,
                          const std::vector<const HostObject*>& created,
                          double tolerance) {
    std::string report;
    if (expected.size() != created.size()) {
        report += "expected " + std::to_string(expected.size()) + " new curves, the document holds " +
                  std::to_string(created.size()) + " new objects\n";
    }
    const std::size_t n = std::min(expected.size(), created.size());
    for (std::size_t c = 0; c < n; ++c) {
        const CurveExpectation& want = expected[c];
        const HostObject& got = *created[c];
        const std::string which = "curve " + std::to_string(c + 1) + " (point " + PointText(want.p) + "): ";
        if (got.kind != "curve") {
            report += which + "expected an interpolated curve, found a " + got.kind + "\n";
            continue;
        }
        if (got.points.size() != want.samples.size()) {
            report += which + "expected " + std::to_string(want.samples.size()) + " points, found " +
                      std::to_string(got.points.size()) + "\n";
        }
        const std::size_t m = std::min(got.points.size(), want.samples.size());
        int shown = 0;
        for (std::size_t i = 0; i < m && shown < 3; ++i) {
            if (Distance(got.points[i], want.samples[i]) > tolerance) {
                report += which + "point " + std::to_string(i) + " expected " + PointText(want.samples[i]) +
                          ", found " + PointText(got.points[i]) + "\n";
                ++shown;
            }
        }
    }
    return report;
}

}  // namespace driver
