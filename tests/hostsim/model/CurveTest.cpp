#include "hostsim/model/Curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace hostsim {
namespace {

TEST(CurveTest, InterpolatedCurvePassesThroughItsPointsAtChordLengthKnots) {
    const std::vector<Vec3> points = {{0, 0, 0}, {3, 4, 0}, {3, 4, 12}, {-1, 2, 5}, {10, -3, 2}};
    const Curve curve = *Curve::MakeInterpolated(points);
    double knot = 0.0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        SCOPED_TRACE(i);
        if (i > 0) {
            knot += Distance(points[i - 1], points[i]);
        }
        EXPECT_DOUBLE_EQ(curve.Knot(i), knot);
        const Vec3 p = curve.PointAt(knot);
        EXPECT_NEAR(Distance(p, points[i]), 0.0, 1e-12);
    }
    EXPECT_DOUBLE_EQ(curve.DomainEnd(), 5.0 + 12.0 + Distance(points[2], points[3]) + Distance(points[3], points[4]));
}

TEST(CurveTest, InterpolatedCurveIsNaturalAndSmooth) {
    const Curve curve = *Curve::MakeInterpolated({{0, 0, 0}, {1, 2, 0}, {3, 1, 0}, {4, 4, 1}});
    EXPECT_NEAR(Length(curve.SecondDerivativeAt(curve.DomainStart())), 0.0, 1e-12);
    EXPECT_NEAR(Length(curve.SecondDerivativeAt(curve.DomainEnd())), 0.0, 1e-12);
    // First and second derivatives agree from both sides of an inner knot.
    const double knot = curve.Knot(2);
    const double h = 1e-7;
    EXPECT_NEAR(Distance(curve.DerivativeAt(knot - h), curve.DerivativeAt(knot + h)), 0.0, 1e-5);
    EXPECT_NEAR(Distance(curve.SecondDerivativeAt(knot - h), curve.SecondDerivativeAt(knot + h)), 0.0, 1e-5);
}

TEST(CurveTest, TwoPointsInterpolateToAStraightCurve) {
    const Curve curve = *Curve::MakeInterpolated({{0, 0, 0}, {10, 0, 0}});
    EXPECT_NEAR(curve.PointAt(2.5).x, 2.5, 1e-12);
    EXPECT_NEAR(curve.Length(), 10.0, 1e-12);
}

TEST(CurveTest, DegenerateCurvesAreRefused) {
    EXPECT_FALSE(Curve::MakeLine({1, 1, 1}, {1, 1, 1}).has_value());
    EXPECT_FALSE(Curve::MakePolyline({{1, 1, 1}, {1, 1, 1}}).has_value());
    EXPECT_FALSE(Curve::MakeInterpolated({{2, 0, 0}}).has_value());
    EXPECT_FALSE(Curve::MakeLine({0, 0, 0}, {INFINITY, 0, 0}).has_value());
    // Consecutive duplicates are dropped, not refused.
    const auto curve = Curve::MakeInterpolated({{0, 0, 0}, {0, 0, 0}, {5, 0, 0}, {5, 5, 0}});
    ASSERT_TRUE(curve.has_value());
    EXPECT_EQ(curve->Points().size(), 3u);
}

TEST(CurveTest, ParameterDomainsFollowTheHost) {
    const Curve line = *Curve::MakeLine({0, 0, 0}, {3, 4, 0});
    EXPECT_DOUBLE_EQ(line.DomainEnd(), 5.0);
    const Curve polyline = *Curve::MakePolyline({{0, 0, 0}, {10, 0, 0}, {10, 1, 0}});
    EXPECT_DOUBLE_EQ(polyline.DomainEnd(), 2.0);
    EXPECT_DOUBLE_EQ(polyline.PointAt(0.5).x, 5.0);
    EXPECT_DOUBLE_EQ(polyline.PointAt(1.5).y, 0.5);
}

TEST(CurveTest, ArcLengthOfAQuarterCircleLikeCurve) {
    // Many points on a circle of radius 10: the spline's length approaches 5 pi.
    std::vector<Vec3> points;
    for (int i = 0; i <= 90; ++i) {
        const double angle = i * std::numbers::pi / 180.0;
        points.push_back({10 * std::cos(angle), 10 * std::sin(angle), 0});
    }
    const Curve curve = *Curve::MakeInterpolated(points);
    EXPECT_NEAR(curve.Length(), 5 * std::numbers::pi, 1e-4);
    const Vec3 middle = curve.PointAt(curve.ParameterAtLength(curve.Length() / 2));
    EXPECT_NEAR(middle.x, middle.y, 1e-4);
}

TEST(CurveTest, ParameterAtLengthInvertsArcLength) {
    const Curve curve = *Curve::MakeInterpolated({{0, 0, 0}, {2, 6, 0}, {9, 7, 3}, {12, 0, 0}});
    const double total = curve.Length();
    for (const double fraction : {0.1, 0.37, 0.5, 0.93}) {
        SCOPED_TRACE(fraction);
        const double t = curve.ParameterAtLength(fraction * total);
        // Measure the length up to t by fine chords.
        double measured = 0.0;
        Vec3 previous = curve.PointAt(0.0);
        const int steps = 20000;
        for (int k = 1; k <= steps; ++k) {
            const Vec3 p = curve.PointAt(t * k / steps);
            measured += Distance(previous, p);
            previous = p;
        }
        EXPECT_NEAR(measured, fraction * total, 1e-5);
    }
}

TEST(CurveTest, ClosedWhenEndsMeet) {
    EXPECT_TRUE(Curve::MakePolyline({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, 0}})->IsClosed());
    EXPECT_FALSE(Curve::MakePolyline({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}})->IsClosed());
}

}  // namespace
}  // namespace hostsim
