#include "hostsim/model/Intersection.h"

#include <algorithm>
#include <cmath>

#include "hostsim/model/CurveChords.h"
#include "hostsim/model/CurvedIntersection.h"

namespace hostsim {

namespace {

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

}  // namespace

IntersectionEvent PointEvent(const Curve& a, double s, const Curve& b, double t) {
    IntersectionEvent event;
    event.aStart = event.aEnd = a.PointAt(s);
    event.bStart = event.bEnd = b.PointAt(t);
    event.aParamStart = event.aParamEnd = s;
    event.bParamStart = event.bParamEnd = t;
    return event;
}

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
