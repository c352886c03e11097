#include "hostsim/model/Intersection.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace hostsim {

namespace {

// A straight stand-in for part of a curve: exact for straight pieces; for an interpolated
// piece a chord whose distance from the true curve is at most `slack`.
struct Segment {
    Vec3 p0;
    Vec3 p1;
    double t0 = 0.0;  // curve parameters at p0 and p1
    double t1 = 0.0;
    double slack = 0.0;
    std::size_t piece = 0;
};

struct Box {
    Vec3 low{HUGE_VAL, HUGE_VAL, HUGE_VAL};
    Vec3 high{-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};

    void Add(Vec3 p, double margin) {
        low = {std::min(low.x, p.x - margin), std::min(low.y, p.y - margin), std::min(low.z, p.z - margin)};
        high = {std::max(high.x, p.x + margin), std::max(high.y, p.y + margin), std::max(high.z, p.z + margin)};
    }
    void Add(const Box& other) {
        Add(other.low, 0.0);
        Add(other.high, 0.0);
    }
    bool Touches(const Box& other, double gap) const {
        return low.x <= other.high.x + gap && other.low.x <= high.x + gap && low.y <= other.high.y + gap &&
               other.low.y <= high.y + gap && low.z <= other.high.z + gap && other.low.z <= high.z + gap;
    }
};

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

// Bounding-box tree over consecutive segments, which lie near each other along a curve.
class SegmentTree {
  public:
    explicit SegmentTree(const std::vector<Segment>& segments) : segments_(segments) {
        if (!segments.empty()) {
            Build(0, segments.size());
        }
    }

    template <typename Visit>
    void Query(const Box& box, double gap, Visit&& visit) const {
        if (!nodes_.empty()) {
            QueryNode(0, box, gap, visit);
        }
    }

  private:
    struct Node {
        Box box;
        std::size_t begin = 0;
        std::size_t end = 0;
        std::size_t left = 0;  // 0: leaf
        std::size_t right = 0;
    };

    std::size_t Build(std::size_t begin, std::size_t end) {
        const std::size_t index = nodes_.size();
        nodes_.push_back({Box{}, begin, end, 0, 0});
        if (end - begin <= 4) {
            Box box;
            for (std::size_t i = begin; i < end; ++i) {
                box.Add(SegmentBox(segments_[i]));
            }
            nodes_[index].box = box;
            return index;
        }
        const std::size_t middle = begin + (end - begin) / 2;
        const std::size_t left = Build(begin, middle);
        const std::size_t right = Build(middle, end);
        Box box = nodes_[left].box;
        box.Add(nodes_[right].box);
        nodes_[index].box = box;
        nodes_[index].left = left;
        nodes_[index].right = right;
        return index;
    }

    template <typename Visit>
    void QueryNode(std::size_t index, const Box& box, double gap, Visit& visit) const {
        const Node& node = nodes_[index];
        if (!node.box.Touches(box, gap)) {
            return;
        }
        if (node.left == 0) {
            for (std::size_t i = node.begin; i < node.end; ++i) {
                visit(i);
            }
            return;
        }
        QueryNode(node.left, box, gap, visit);
        QueryNode(node.right, box, gap, visit);
    }

    const std::vector<Segment>& segments_;
    std::vector<Node> nodes_;
};

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

double ParameterAt(const Segment& s, double fraction) {
    return s.t0 + fraction * (s.t1 - s.t0);
}

IntersectionEvent PointEvent(const Curve& a, double s, const Curve& b, double t) {
    IntersectionEvent event;
    event.aStart = event.aEnd = a.PointAt(s);
    event.bStart = event.bEnd = b.PointAt(t);
    event.aParamStart = event.aParamEnd = s;
    event.bParamStart = event.bParamEnd = t;
    return event;
}

// Straight against straight. The part of sb whose projection falls on sa is an overlap when
// both its ends lie within tolerance of sa's line (the distance to a line is convex along a
// segment, so the whole part does) and it is longer than the tolerance; otherwise the
// segments meet at most at their closest points.
void MeetStraight(const Curve& a,
                  const Segment& sa,
                  const Curve& b,
                  const Segment& sb,
                  double tolerance,
                  std::vector<IntersectionEvent>& events) {
    const Vec3 d = sa.p1 - sa.p0;
    const double dd = Dot(d, d);
    const double u0 = Dot(sb.p0 - sa.p0, d) / dd;
    const double u1 = Dot(sb.p1 - sa.p0, d) / dd;
    double low = 0.0;
    double high = 1.0;
    if (u1 != u0) {
        const double sAtZero = (0.0 - u0) / (u1 - u0);
        const double sAtOne = (1.0 - u0) / (u1 - u0);
        low = std::max(low, std::min(sAtZero, sAtOne));
        high = std::min(high, std::max(sAtZero, sAtOne));
    } else if (u0 < 0.0 || u0 > 1.0) {
        high = -1.0;
    }
    if (low <= high) {
        const Vec3 q0 = Lerp(sb.p0, sb.p1, low);
        const Vec3 q1 = Lerp(sb.p0, sb.p1, high);
        const auto distanceToLine = [&](Vec3 q) {
            const double u = std::clamp(Dot(q - sa.p0, d) / dd, 0.0, 1.0);
            return Distance(q, Lerp(sa.p0, sa.p1, u));
        };
        if (Distance(q0, q1) > tolerance && distanceToLine(q0) <= tolerance && distanceToLine(q1) <= tolerance) {
            const double ua0 = std::clamp(Dot(q0 - sa.p0, d) / dd, 0.0, 1.0);
            const double ua1 = std::clamp(Dot(q1 - sa.p0, d) / dd, 0.0, 1.0);
            IntersectionEvent event;
            event.overlap = true;
            event.aParamStart = ParameterAt(sa, ua0);
            event.aParamEnd = ParameterAt(sa, ua1);
            event.bParamStart = ParameterAt(sb, low);
            event.bParamEnd = ParameterAt(sb, high);
            if (event.aParamStart > event.aParamEnd) {
                std::swap(event.aParamStart, event.aParamEnd);
                std::swap(event.bParamStart, event.bParamEnd);
            }
            event.aStart = a.PointAt(event.aParamStart);
            event.aEnd = a.PointAt(event.aParamEnd);
            event.bStart = b.PointAt(event.bParamStart);
            event.bEnd = b.PointAt(event.bParamEnd);
            events.push_back(event);
            return;
        }
    }
    double s = 0.0;
    double t = 0.0;
    ClosestFractions(sa.p0, sa.p1, sb.p0, sb.p1, s, t);
    if (Distance(Lerp(sa.p0, sa.p1, s), Lerp(sb.p0, sb.p1, t)) <= tolerance) {
        events.push_back(PointEvent(a, ParameterAt(sa, s), b, ParameterAt(sb, t)));
    }
}

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

bool WithinOverlap(const IntersectionEvent& overlap, const IntersectionEvent& point, double tolerance) {
    const Vec3 d = overlap.aEnd - overlap.aStart;
    const double u = std::clamp(Dot(point.aStart - overlap.aStart, d) / Dot(d, d), 0.0, 1.0);
    return Distance(point.aStart, Lerp(overlap.aStart, overlap.aEnd, u)) <= tolerance;
}

// Neighbouring pieces report the same meeting (a crossing at a shared vertex, candidates of
// one tangency converging to one point, an overlap spread over several collinear pieces):
// keep one event for each.
std::vector<IntersectionEvent> Consolidate(std::vector<IntersectionEvent> events, double tolerance) {
    std::sort(events.begin(), events.end(),
              [](const IntersectionEvent& x, const IntersectionEvent& y) { return x.aParamStart < y.aParamStart; });
    std::vector<IntersectionEvent> overlaps;
    for (const IntersectionEvent& event : events) {
        if (!event.overlap) {
            continue;
        }
        if (!overlaps.empty() && Distance(overlaps.back().aEnd, event.aStart) <= tolerance &&
            Distance(overlaps.back().bEnd, event.bStart) <= tolerance) {
            overlaps.back().aEnd = event.aEnd;
            overlaps.back().aParamEnd = event.aParamEnd;
            overlaps.back().bEnd = event.bEnd;
            overlaps.back().bParamEnd = event.bParamEnd;
        } else {
            overlaps.push_back(event);
        }
    }
    std::vector<IntersectionEvent> result = overlaps;
    std::vector<IntersectionEvent> points;
    for (const IntersectionEvent& event : events) {
        if (event.overlap) {
            continue;
        }
        const bool inOverlap = std::any_of(overlaps.begin(), overlaps.end(), [&](const IntersectionEvent& o) {
            return WithinOverlap(o, event, tolerance);
        });
        if (inOverlap) {
            continue;
        }
        const auto same = std::find_if(points.begin(), points.end(), [&](const IntersectionEvent& p) {
            return Distance(p.aStart, event.aStart) <= tolerance && Distance(p.bStart, event.bStart) <= tolerance;
        });
        if (same == points.end()) {
            points.push_back(event);
        } else if (Distance(event.aStart, event.bStart) < Distance(same->aStart, same->bStart)) {
            *same = event;
        }
    }
    result.insert(result.end(), points.begin(), points.end());
    std::sort(result.begin(), result.end(),
              [](const IntersectionEvent& x, const IntersectionEvent& y) { return x.aParamStart < y.aParamStart; });
    return result;
}

// Where an interpolated piece runs along the other curve within tolerance, its candidates
// refine to a row of separate points; when the curves stay within tolerance between two
// neighbouring events, join them into one overlap, as the host reports such stretches.
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

}  // namespace

std::vector<IntersectionEvent> IntersectCurves(const Curve& a, const Curve& b, double tolerance) {
    const std::vector<Segment> segmentsA = Flatten(a, tolerance);
    const std::vector<Segment> segmentsB = Flatten(b, tolerance);
    const SegmentTree treeB(segmentsB);
    std::vector<IntersectionEvent> events;
    for (const Segment& sa : segmentsA) {
        treeB.Query(SegmentBox(sa), tolerance, [&](std::size_t index) {
            const Segment& sb = segmentsB[index];
            if (a.IsStraight() && b.IsStraight()) {
                MeetStraight(a, sa, b, sb, tolerance, events);
            } else {
                MeetCurved(a, sa, b, sb, tolerance, events);
            }
        });
    }
    events = Consolidate(std::move(events), tolerance);
    if (a.IsStraight() && b.IsStraight()) {
        return events;
    }
    return JoinRunsAlongEachOther(a, b, std::move(events), tolerance);
}

}  // namespace hostsim
