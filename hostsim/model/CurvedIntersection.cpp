#include "hostsim/model/CurvedIntersection.h"

#include <algorithm>
#include <cmath>

namespace hostsim {

namespace {

// Minimises |a(s) - b(t)|^2 over the two pieces by Newton's method with Levenberg-Marquardt
// damping: undamped steps converge quadratically at a crossing, and the damping keeps the
// iteration going where the Hessian is singular (a tangency, parallel tangents).
double RefineClosest(const Curve& a,
                     double aLow,
                     double aHigh,
                     double& s,
                     const Curve& b,
                     double bLow,
                     double bHigh,
                     double& t) {
    double lambda = 1e-6;
    Vec3 d = a.PointAt(s) - b.PointAt(t);
    double f = Dot(d, d);
    for (int iteration = 0; iteration < 100 && f > 0.0; ++iteration) {
        const Vec3 da = a.DerivativeAt(s);
        const Vec3 db = b.DerivativeAt(t);
        const double g1 = Dot(d, da);
        const double g2 = -Dot(d, db);
        const double h11 = Dot(da, da) + Dot(d, a.SecondDerivativeAt(s));
        const double h12 = -Dot(da, db);
        const double h22 = Dot(db, db) - Dot(d, b.SecondDerivativeAt(t));
        bool improved = false;
        double stepSize = 0.0;
        for (int attempt = 0; attempt < 30 && !improved; ++attempt) {
            const double m11 = h11 + lambda * std::max(std::fabs(h11), 1e-300);
            const double m22 = h22 + lambda * std::max(std::fabs(h22), 1e-300);
            const double determinant = m11 * m22 - h12 * h12;
            if (!(std::fabs(determinant) > 0.0) || !std::isfinite(determinant)) {
                lambda *= 10.0;
                continue;
            }
            const double ds = std::clamp(s - (m22 * g1 - h12 * g2) / determinant, aLow, aHigh);
            const double dt = std::clamp(t - (m11 * g2 - h12 * g1) / determinant, bLow, bHigh);
            const Vec3 nd = a.PointAt(ds) - b.PointAt(dt);
            const double nf = Dot(nd, nd);
            if (nf < f) {
                stepSize = std::fabs(ds - s) + std::fabs(dt - t);
                s = ds;
                t = dt;
                d = nd;
                f = nf;
                lambda = std::max(lambda * 0.1, 1e-12);
                improved = true;
            } else {
                lambda *= 10.0;
            }
        }
        if (!improved || stepSize <= 1e-15 * (1.0 + std::fabs(s) + std::fabs(t))) {
            break;
        }
    }
    return std::sqrt(f);
}

double ProjectFraction(Vec3 p, Vec3 q0, Vec3 q1) {
    const Vec3 d = q1 - q0;
    const double dd = Dot(d, d);
    return dd > 0.0 ? std::clamp(Dot(p - q0, d) / dd, 0.0, 1.0) : 0.0;
}

}  // namespace

void MeetCurved(const Curve& a,
                const Segment& sa,
                const Curve& b,
                const Segment& sb,
                double tolerance,
                std::vector<IntersectionEvent>& events) {
    double u = 0.0;
    double v = 0.0;
    ClosestFractions(sa.p0, sa.p1, sb.p0, sb.p1, u, v);
    if (Distance(Lerp(sa.p0, sa.p1, u), Lerp(sb.p0, sb.p1, v)) > tolerance + sa.slack + sb.slack) {
        return;
    }
    struct Start {
        double u;
        double v;
    };
    std::vector<Start> starts = {{u, v}};
    // Nearly parallel chords may run along each other: start also from each chord end, so that
    // both ends of such a stretch are found.
    const Vec3 da = sa.p1 - sa.p0;
    const Vec3 db = sb.p1 - sb.p0;
    if (Length(Cross(da, db)) <= 0.05 * Length(da) * Length(db)) {
        starts.push_back({0.0, ProjectFraction(sa.p0, sb.p0, sb.p1)});
        starts.push_back({1.0, ProjectFraction(sa.p1, sb.p0, sb.p1)});
        starts.push_back({ProjectFraction(sb.p0, sa.p0, sa.p1), 0.0});
        starts.push_back({ProjectFraction(sb.p1, sa.p0, sa.p1), 1.0});
    }
    for (const Start& start : starts) {
        double s = ParameterAt(sa, start.u);
        double t = ParameterAt(sb, start.v);
        const double distance =
            RefineClosest(a, a.Knot(sa.piece), a.Knot(sa.piece + 1), s, b, b.Knot(sb.piece), b.Knot(sb.piece + 1), t);
        if (distance <= tolerance) {
            events.push_back(PointEvent(a, s, b, t));
        }
    }
}

std::vector<IntersectionEvent> JoinRunsAlongEachOther(const Curve& a,
                                                      const Curve& b,
                                                      std::vector<IntersectionEvent> events,
                                                      double tolerance) {
    std::vector<IntersectionEvent> joined;
    for (const IntersectionEvent& event : events) {
        if (joined.empty()) {
            joined.push_back(event);
            continue;
        }
        IntersectionEvent& last = joined.back();
        const double sFrom = last.aParamEnd;
        const double sTo = event.aParamStart;
        const double bLow = std::min(last.bParamEnd, event.bParamStart);
        const double bHigh = std::max(last.bParamEnd, event.bParamStart);
        bool along = Distance(last.aEnd, event.aStart) > tolerance;
        for (const double fraction : {0.25, 0.5, 0.75}) {
            if (!along) {
                break;
            }
            double s = sFrom + fraction * (sTo - sFrom);
            double t = last.bParamEnd + fraction * (event.bParamStart - last.bParamEnd);
            along = RefineClosest(a, s, s, s, b, bLow, bHigh, t) <= tolerance;
        }
        if (!along) {
            joined.push_back(event);
            continue;
        }
        last.overlap = true;
        last.aEnd = event.aEnd;
        last.aParamEnd = event.aParamEnd;
        last.bEnd = event.bEnd;
        last.bParamEnd = event.bParamEnd;
    }
    return joined;
}

}  // namespace hostsim
