#include "hostsim/model/Intersection.h"

#include <gtest/gtest.h>

#include <cmath>

namespace hostsim {
namespace {

constexpr double kTolerance = 0.01;
constexpr double kClose = 1e-9;

Curve Line(Vec3 a, Vec3 b) {
    return *Curve::MakeLine(a, b);
}

void ExpectNear(Vec3 actual, Vec3 expected, double within) {
    EXPECT_NEAR(actual.x, expected.x, within);
    EXPECT_NEAR(actual.y, expected.y, within);
    EXPECT_NEAR(actual.z, expected.z, within);
}

TEST(IntersectionTest, ProbeLineMeetsEachCurveKind) {
    // The horizontal probe from (0, 10, 0) towards x = -5000 against curves crossing y = 10.
    const Curve probe = Line({0, 10, 0}, {-5000, 10, 0});
    static const struct {
        const char* name;
        Curve curve;
        Vec3 hit;
    } kCases[] = {
        {"line", Line({-20, 0, 0}, {-20, 30, 0}), {-20, 10, 0}},
        {"polyline", *Curve::MakePolyline({{-10, 0, 0}, {-30, 20, 0}, {-30, 40, 0}}), {-20, 10, 0}},
        // A curve through points symmetric about y = 10 crosses it at x = -20 by symmetry.
        {"interpolated", *Curve::MakeInterpolated({{-25, 0, 0}, {-20, 10, 0}, {-25, 20, 0}}), {-20, 10, 0}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const auto events = IntersectCurves(probe, c.curve, kTolerance);
        ASSERT_EQ(events.size(), 1u);
        EXPECT_FALSE(events[0].overlap);
        ExpectNear(events[0].aStart, c.hit, 1e-7);
        ExpectNear(events[0].bStart, c.hit, 1e-7);
        // The probe's parameter is the distance from its start.
        EXPECT_NEAR(events[0].aParamStart, 20.0, 1e-7);
        ExpectNear(c.curve.PointAt(events[0].bParamStart), c.hit, 1e-7);
    }
}

TEST(IntersectionTest, InterpolatedCrossingAwayFromThroughPointsIsRefined) {
    const Curve curve = *Curve::MakeInterpolated({{-40, 0, 0}, {-30, 7, 0}, {-15, 14, 0}, {-12, 30, 0}});
    const Curve probe = Line({0, 10, 0}, {-5000, 10, 0});
    const auto events = IntersectCurves(probe, curve, kTolerance);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_NEAR(events[0].bStart.y, 10.0, 1e-9);
    EXPECT_LT(Distance(events[0].aStart, events[0].bStart), 1e-9);
    EXPECT_LT(Distance(curve.PointAt(events[0].bParamStart), events[0].bStart), 1e-12);
}

TEST(IntersectionTest, TangencyWithinToleranceCountsOnce) {
    // A parabola-like arch whose top is at y = 10; the line y = 10 touches it there.
    const Curve arch = *Curve::MakeInterpolated({{-10, 0, 0}, {-5, 7.5, 0}, {0, 10, 0}, {5, 7.5, 0}, {10, 0, 0}});
    const double top = arch.PointAt(0.5 * arch.DomainEnd()).y;
    static const struct {
        const char* name;
        double lineY;
        std::size_t expected;
    } kCases[] = {
        {"touching", top, 1},
        {"just above, within tolerance", top + 0.009, 1},
        {"above by more than tolerance", top + 0.011, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const auto events = IntersectCurves(Line({-20, c.lineY, 0}, {20, c.lineY, 0}), arch, kTolerance);
        EXPECT_EQ(events.size(), c.expected);
    }
}

TEST(IntersectionTest, ToleranceEdgeBetweenSkewLines) {
    static const struct {
        const char* name;
        double gapZ;
        bool meets;
    } kCases[] = {
        {"touching", 0.0, true},
        {"inside tolerance", 0.009, true},
        {"outside tolerance", 0.011, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const auto events =
            IntersectCurves(Line({-1, 0, 0}, {1, 0, 0}), Line({0, -1, c.gapZ}, {0, 1, c.gapZ}), kTolerance);
        ASSERT_EQ(events.size(), c.meets ? 1u : 0u);
        if (c.meets) {
            // Each curve's own point is reported, not a point between them.
            ExpectNear(events[0].aStart, {0, 0, 0}, kClose);
            ExpectNear(events[0].bStart, {0, 0, c.gapZ}, kClose);
        }
    }
}

TEST(IntersectionTest, MissedCurveGivesNothing) {
    const Curve probe = Line({0, 10, 0}, {-5000, 10, 0});
    EXPECT_TRUE(IntersectCurves(probe, Line({10, 0, 0}, {10, 30, 0}), kTolerance).empty());
    EXPECT_TRUE(
        IntersectCurves(probe, *Curve::MakeInterpolated({{-5, 20, 0}, {-10, 30, 0}, {-5, 40, 0}}), kTolerance).empty());
    // Parallel lines further apart than the tolerance.
    EXPECT_TRUE(IntersectCurves(probe, Line({0, 10.5, 0}, {-100, 10.5, 0}), kTolerance).empty());
}

TEST(IntersectionTest, SeveralCrossingsComeInOrderOfTheFirstCurve) {
    // A zigzag crossing y = 0 three times; the probe runs towards negative x, so the crossing
    // nearest its start (largest x) comes first.
    const Curve zigzag = *Curve::MakePolyline({{-35, -5, 0}, {-25, 5, 0}, {-15, -5, 0}, {-5, 5, 0}});
    const Curve probe = Line({0, 0, 0}, {-5000, 0, 0});
    const auto events = IntersectCurves(probe, zigzag, kTolerance);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_NEAR(events[0].aStart.x, -10, kClose);
    EXPECT_NEAR(events[1].aStart.x, -20, kClose);
    EXPECT_NEAR(events[2].aStart.x, -30, kClose);
    EXPECT_LT(events[0].aParamStart, events[1].aParamStart);
    EXPECT_LT(events[1].aParamStart, events[2].aParamStart);
    // The second curve's parameters then decrease.
    EXPECT_GT(events[0].bParamStart, events[2].bParamStart);
}

TEST(IntersectionTest, CrossingAtASharedVertexIsReportedOnce) {
    const Curve corner = *Curve::MakePolyline({{-10, -5, 0}, {-10, 0, 0}, {-20, 5, 0}});
    const auto events = IntersectCurves(Line({0, 0, 0}, {-100, 0, 0}), corner, kTolerance);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_NEAR(events[0].bParamStart, 1.0, kClose);
}

TEST(IntersectionTest, LineAlongLineIsAnOverlap) {
    const Curve a = Line({0, 0, 0}, {10, 0, 0});
    const Curve b = Line({15, 0, 0}, {5, 0, 0});
    const auto events = IntersectCurves(a, b, kTolerance);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].overlap);
    ExpectNear(events[0].aStart, {5, 0, 0}, kClose);
    ExpectNear(events[0].aEnd, {10, 0, 0}, kClose);
    EXPECT_NEAR(events[0].aParamStart, 5, kClose);
    EXPECT_NEAR(events[0].aParamEnd, 10, kClose);
    // b runs the other way: its parameter goes from 10 (at x = 5) down to 5 (at x = 10).
    EXPECT_NEAR(events[0].bParamStart, 10, kClose);
    EXPECT_NEAR(events[0].bParamEnd, 5, kClose);
    ExpectNear(events[0].bStart, {5, 0, 0}, kClose);
}

TEST(IntersectionTest, OverlapAlongCollinearPolylinePiecesIsMerged) {
    const Curve polyline = *Curve::MakePolyline({{0, 0, 0}, {4, 0, 0}, {8, 0, 0}, {8, 5, 0}});
    const auto events = IntersectCurves(Line({-2, 0, 0}, {20, 0, 0}), polyline, kTolerance);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].overlap);
    EXPECT_NEAR(events[0].aStart.x, 0, kClose);
    EXPECT_NEAR(events[0].aEnd.x, 8, kClose);
}

TEST(IntersectionTest, InterpolatedCurveAlongALineIsAnOverlap) {
    // Through collinear points the interpolated curve is straight and runs along the line.
    const Curve straight = *Curve::MakeInterpolated({{0, 0, 0}, {3, 0, 0}, {7, 0, 0}, {10, 0, 0}});
    const auto events = IntersectCurves(Line({-5, 0, 0}, {20, 0, 0}), straight, kTolerance);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].overlap);
    EXPECT_NEAR(events[0].aStart.x, 0, 1e-6);
    EXPECT_NEAR(events[0].aEnd.x, 10, 1e-6);
}

TEST(IntersectionTest, LinesTouchingEndToEndMeetAtAPoint) {
    const auto events = IntersectCurves(Line({0, 0, 0}, {10, 0, 0}), Line({10, 0, 0}, {20, 0, 0}), kTolerance);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_FALSE(events[0].overlap);
    ExpectNear(events[0].aStart, {10, 0, 0}, kClose);
}

TEST(IntersectionTest, TwoInterpolatedCurvesCross) {
    const Curve a = *Curve::MakeInterpolated({{0, 0, 0}, {5, 3, 0}, {10, 0, 0}});
    const Curve b = *Curve::MakeInterpolated({{0, 2, 0}, {5, -1, 0}, {10, 2, 0}});
    const auto events = IntersectCurves(a, b, kTolerance);
    ASSERT_EQ(events.size(), 2u);
    for (const auto& e : events) {
        EXPECT_LT(Distance(e.aStart, e.bStart), 1e-8);
    }
    // Symmetric about x = 5.
    EXPECT_NEAR(events[0].aStart.x + events[1].aStart.x, 10.0, 1e-6);
}

}  // namespace
}  // namespace hostsim
