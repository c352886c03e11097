#include "construct/CycloidGenerator.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace construct {
namespace {

using common::HostPoint;

// The worked example: span 20, height 30, in the plane y = 10.
const HostPoint kBase{0, 10, 0};
const HostPoint kXyHit{-20, 10, 0};
const HostPoint kYzHit{0, 10, 30};

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Tolerance for geometry checks that hold "up to rounding" on coordinates of size ~100.
constexpr double kGeometryTolerance = 1e-11;

// The sample at exactly tDegrees: the second sample of a step of tDegrees, reached by a single
// addition to 0 and therefore free of accumulated rounding.
HostPoint SampleAt(double tDegrees) {
    return CycloidSamples(kBase, kXyHit, kYzHit, tDegrees, tDegrees > 180).at(1);
}

std::string PointText(const HostPoint& point) {
    return CoordinateText(point.x) + "," + CoordinateText(point.y) + "," + CoordinateText(point.z);
}

TEST(CycloidSamplesTest, WorkedExampleAtQuarterTurns) {
    const std::vector<HostPoint> samples = CycloidSamples(kBase, kXyHit, kYzHit, 90, true);
    ASSERT_EQ(samples.size(), 5u);

    static const struct {
        const char* name;
        double x;
        double z;
        const char* text;
    } kCases[] = {
        {"0", -20, 0, "-20,10,0"},
        {"90", -25, 15, "-25,10,15"},
        {"180", 0, 30, "-4.9737991503207E-14,10,30"},
        {"270", 25, 15, "25,10,15.0000000000001"},
        {"360", 20, 0, "20.0000000000001,10,0"},
    };
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto& c = kCases[i];
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(samples[i].x, c.x, kGeometryTolerance);
        EXPECT_EQ(samples[i].y, 10);
        EXPECT_NEAR(samples[i].z, c.z, kGeometryTolerance);
        EXPECT_EQ(PointText(samples[i]), c.text);
    }
    // The 90-degree height lies just below 15 and only the 15-digit rounding makes it "15".
    EXPECT_LT(samples[1].z, 15);
    // At 180 degrees x is the rounding residue of 20 - 20: a few units in the last place of 20.
    EXPECT_LT(samples[2].x, 0);
    EXPECT_GT(samples[2].x, -1e-13);
}

TEST(CycloidCommandTextTest, WorkedExampleOneSide) {
    EXPECT_EQ(CycloidCommandTextFor(kBase, kXyHit, kYzHit, 90, false),
              "-_InterpCrv w-20,10,0 w-25,10,15 w-4.9737991503207E-14,10,30 _Enter");
}

TEST(CycloidCommandTextTest, WorkedExampleBothSides) {
    EXPECT_EQ(CycloidCommandTextFor(kBase, kXyHit, kYzHit, 90, true),
              "-_InterpCrv w-20,10,0 w-25,10,15 w-4.9737991503207E-14,10,30 w25,10,15.0000000000001 "
              "w20.0000000000001,10,0 _Enter");
}

TEST(CycloidCommandTextTest, EmptyListAndNegativeStepGiveBareCommand) {
    EXPECT_EQ(CycloidCommandText({}), "-_InterpCrv _Enter");
    EXPECT_TRUE(CycloidSamples(kBase, kXyHit, kYzHit, -5, true).empty());
    EXPECT_EQ(CycloidCommandTextFor(kBase, kXyHit, kYzHit, -5, false), "-_InterpCrv _Enter");
    EXPECT_EQ(CycloidCommandTextFor(kBase, kXyHit, kYzHit, -kInf, true), "-_InterpCrv _Enter");
}

TEST(CycloidCommandTextTest, StreamedTextEqualsTextOfSampleList) {
    static const struct {
        const char* name;
        HostPoint p;
        HostPoint xyHit;
        HostPoint yzHit;
        double step;
        bool bothSides;
    } kCases[] = {
        {"worked example", kBase, kXyHit, kYzHit, 5, true},
        {"odd coordinates", {0, -37.125, 0}, {-1234.5678, -37.125, 0}, {0, -37.125, 0.0042}, 0.7, true},
        {"fractional y below 1", {0, 0.25, 0}, {-3, 0.25, 0}, {0, 0.25, 7}, 1.3, false},
        {"huge span", {0, 1e16, 0}, {-4e17, 1e16, 0}, {0, 1e16, 3e-6}, 10, true},
        {"height 0", {1, 2, 3}, {-4, 2, 3}, {1, 2, 3}, 45, true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CycloidCommandTextFor(c.p, c.xyHit, c.yzHit, c.step, c.bothSides),
                  CycloidCommandText(CycloidSamples(c.p, c.xyHit, c.yzHit, c.step, c.bothSides)));
    }
}

TEST(CycloidSamplesTest, CountsFollowRepeatedAddition) {
    static const struct {
        const char* name;
        double step;
        bool bothSides;
        std::size_t count;
        double lastDegrees;  // the sample that must be last; NaN where it is checked separately
    } kCases[] = {
        {"5 one side", 5, false, 37, 180},
        {"5 both sides", 5, true, 73, 360},
        {"7 one side ends at 175", 7, false, 26, 175},
        {"2.5 one side ends exactly at 180", 2.5, false, 73, 180},
        {"200 one side", 200, false, 1, 0},
        {"400 both sides", 400, true, 1, 0},
        {"infinite step", kInf, true, 1, 0},
        {"0.3 one side misses 180", 0.3, false, 600, kNaN},
        {"0.1 one side", 0.1, false, 1801, kNaN},
        {"0.1 both sides misses 360", 0.1, true, 3600, kNaN},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::vector<HostPoint> samples = CycloidSamples(kBase, kXyHit, kYzHit, c.step, c.bothSides);
        ASSERT_EQ(samples.size(), c.count);
        EXPECT_EQ(samples.front(), (HostPoint{-20, 10, 0}));
        if (c.lastDegrees > 0) {
            EXPECT_EQ(samples.back(), SampleAt(c.lastDegrees));
        }
    }
}

TEST(CycloidSamplesTest, AccumulatedAngleStopsShortOfTheEnd) {
    // 0.3 accumulates to 180.0000000000011 after 179.7, and 0.1 passes 360 after 359.9: the last
    // samples are those angles (up to the accumulated drift), not the top or the far end.
    const HostPoint last03 = CycloidSamples(kBase, kXyHit, kYzHit, 0.3, false).back();
    EXPECT_NEAR(last03.z, SampleAt(179.7).z, 1e-9);
    EXPECT_LT(last03.z, 30 - 1e-6);

    const HostPoint last01 = CycloidSamples(kBase, kXyHit, kYzHit, 0.1, true).back();
    EXPECT_NEAR(last01.x, SampleAt(359.9).x, 1e-9);
    EXPECT_GT(last01.z, 1e-6);

    // 0.1 one side: its 1801st sample is at 179.99999999999406, a hair before the top.
    const HostPoint top01 = CycloidSamples(kBase, kXyHit, kYzHit, 0.1, false).back();
    EXPECT_NEAR(top01.z, 30, 1e-12);
    EXPECT_NE(top01.x, SampleAt(180).x);
}

TEST(CycloidSamplesTest, ArchFollowsSpanAndHeight) {
    // Hits on the probe lines of a base point off the origin: the arch starts at the XY hit on
    // height 0, passes over the base point at the YZ height and comes down mirrored beyond it.
    const HostPoint p{7, 3, 0};
    const HostPoint xyHit{-5, 3, 0};
    const HostPoint yzHit{7, 3, 12};
    const std::vector<HostPoint> samples = CycloidSamples(p, xyHit, yzHit, 180, true);
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_EQ(samples[0], (HostPoint{-5, 3, 0}));
    EXPECT_NEAR(samples[1].x, 7, kGeometryTolerance);
    EXPECT_NEAR(samples[1].z, 12, kGeometryTolerance);
    EXPECT_NEAR(samples[2].x, 19, kGeometryTolerance);
    EXPECT_NEAR(samples[2].z, 0, kGeometryTolerance);
}

TEST(CycloidSamplesTest, HeightAboveBaseMeasuresFromZero) {
    // z starts at height 0 whatever the base point's own z; all distances are Euclidean.
    const std::vector<HostPoint> samples = CycloidSamples({0, 0, 4}, {-3, 4, 4}, {0, 0, 10}, 180, false);
    ASSERT_EQ(samples.size(), 2u);
    EXPECT_EQ(samples[0], (HostPoint{-3, 0, 0}));
    EXPECT_NEAR(samples[1].x, 2, kGeometryTolerance);  // span 5: -3 + 5
    EXPECT_NEAR(samples[1].z, 6, kGeometryTolerance);  // height 6
}

TEST(CycloidSamplesTest, DegenerateHitsGiveFlatOrBackwardArch) {
    // Height 0: every z is 0 and x advances from the XY hit.
    for (const HostPoint& s : CycloidSamples(kBase, kXyHit, kBase, 30, true)) {
        EXPECT_EQ(s.z, 0);
    }
    // Span 0: x only swings back and forth around the XY hit by the arch radius.
    const std::vector<HostPoint> swing = CycloidSamples(kBase, kBase, kYzHit, 90, false);
    ASSERT_EQ(swing.size(), 3u);
    EXPECT_NEAR(swing[1].x, -15, kGeometryTolerance);
    EXPECT_NEAR(swing[2].x, 0, kGeometryTolerance);
}

TEST(StepRefusalTest, RefusesStepsThatCannotEnd) {
    const double tinyLimitStep = 360.0 / 999'999;  // bound 1,000,001 samples for both sides
    static const struct {
        const char* name;
        double step;
        bool bothSides;
        std::optional<StepRefusal> expected;
    } kCases[] = {
        {"zero", 0.0, true, StepRefusal::Zero},
        {"negative zero", -0.0, false, StepRefusal::Zero},
        {"NaN", kNaN, true, StepRefusal::NotANumber},
        {"tiny", 1e-300, false, StepRefusal::TooManySamples},
        {"subnormal", std::numeric_limits<double>::denorm_min(), true, StepRefusal::TooManySamples},
        {"just past the limit", tinyLimitStep, true, StepRefusal::TooManySamples},
        {"0.0001 both sides", 0.0001, true, StepRefusal::TooManySamples},
        {"0.0001 one side", 0.0001, false, StepRefusal::TooManySamples},
        {"0.001 both sides", 0.001, true, std::nullopt},
        {"limit step one side", tinyLimitStep, false, std::nullopt},
        {"tiny negative", -1e-300, true, std::nullopt},
        {"negative infinity", -kInf, true, std::nullopt},
        {"infinity", kInf, false, std::nullopt},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RefusalOfStep(c.step, c.bothSides), c.expected);
    }
}

TEST(StepRefusalTest, GeneratorThrowsTheRefusal) {
    for (const double step : {0.0, -0.0}) {
        try {
            (void)CycloidCommandTextFor(kBase, kXyHit, kYzHit, step, true);
            ADD_FAILURE() << "step " << step << " was sampled";
        } catch (const StepRefused& refused) {
            EXPECT_EQ(refused.Reason(), StepRefusal::Zero);
        }
    }
    try {
        (void)CycloidSamples(kBase, kXyHit, kYzHit, 1e-7, false);
        ADD_FAILURE() << "step 1e-7 was sampled";
    } catch (const StepRefused& refused) {
        EXPECT_EQ(refused.Reason(), StepRefusal::TooManySamples);
    }
    EXPECT_THROW((void)CycloidSamples(kBase, kXyHit, kYzHit, kNaN, false), StepRefused);
}

TEST(StepRefusalTest, AcceptedStepsStayWithinTheLimit) {
    EXPECT_EQ(CycloidSamples(kBase, kXyHit, kYzHit, 0.001, true).size(), 360'001u);
    // The smallest accepted step: its sample count may not pass the limit despite the drift.
    const double step = 360.0 / 999'997;
    ASSERT_EQ(RefusalOfStep(step, true), std::nullopt);
    EXPECT_LE(CycloidSamples(kBase, kXyHit, kYzHit, step, true).size(), kMaxCycloidSamples);
}

TEST(CoordinateTextTest, PlainAndExponentForms) {
    static const struct {
        const char* name;
        double value;
        const char* expected;
    } kCases[] = {
        {"integral", 1234, "1234"},
        {"fraction", 1234.5, "1234.5"},
        {"below 1", 0.5, ".5"},
        {"negative below 1", -0.5, "-.5"},
        {"negative integral", -3, "-3"},
        {"zero", 0, "0"},
        {"negative zero", -0.0, "0"},
        {"one third: 15 digits", 1.0 / 3, ".333333333333333"},
        {"two thirds rounds up", 2.0 / 3, ".666666666666667"},
        {"0.1 + 0.2", 0.1 + 0.2, ".3"},
        {"rounds up to 1", 0.99999999999999994, "1"},
        {"15 integral digits", 123456789012345, "123456789012345"},
        {"16 digits round to 15", 123456789012345.6, "123456789012346"},
        {"largest plain", 999999999999999, "999999999999999"},
        {"just below 1E+15 rounding down", 999999999999999.4, "999999999999999"},
        {"just below 1E+15 rounding up", std::nextafter(1e15, 0.0), "1E+15"},
        {"1E+15", 1e15, "1E+15"},
        {"negative 1E+15", -1e15, "-1E+15"},
        {"exponent form", 123456789012345678.0, "1.23456789012346E+17"},
        {"three exponent digits", 1e300, "1E+300"},
        {"smallest plain", 1e-4, ".0001"},
        {"plain with zeros", -0.00012345, "-.00012345"},
        {"just below 1E-04 rounding up", std::nextafter(1e-4, 0.0), ".0001"},
        {"below 1E-04", 9.99999999999999e-5, "9.99999999999999E-05"},
        {"1E-05", 1e-5, "1E-05"},
        {"worked example residue", -4.9737991503207013e-14, "-4.9737991503207E-14"},
        {"negative tiny", -1.5e-300, "-1.5E-300"},
        {"smallest normal", std::numeric_limits<double>::min(), "2.2250738585072E-308"},
        {"smallest subnormal", std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
        // Rounded to nearest, the largest double would read back beyond the double range.
        {"largest: rounded toward zero to stay readable", std::numeric_limits<double>::max(), "1.79769313486231E+308"},
        {"exact tie rounds to even", 1000000000000005, "1E+15"},
        {"exact tie rounds up to even", 1000000000000015, "1.00000000000002E+15"},
        {"16 shortest digits ending in 5", std::ldexp(1.0, -30), "9.31322574615479E-10"},
        {"infinity", kInf, "inf"},
        {"negative infinity", -kInf, "-inf"},
        {"NaN", kNaN, "nan"},
        {"NaN with sign bit", -kNaN, "nan"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CoordinateText(c.value), c.expected);
    }
}

// The reference form: std::to_chars with 15 significant digits in the general format, which
// switches to exponent form at the same decimal exponents, turned into the host's spelling.
std::string ReferenceText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, result.ptr);
    if (text.starts_with("0.")) {
        text.erase(0, 1);
    } else if (text.starts_with("-0.")) {
        text.erase(1, 1);
    }
    for (char& c : text) {
        if (c == 'e') {
            c = 'E';
        }
    }
    return text;
}

TEST(CoordinateTextTest, MatchesFifteenDigitRoundingOfExactValue) {
    std::mt19937_64 random(20240607);
    std::uniform_int_distribution<std::uint64_t> anyBits;
    std::uniform_real_distribution<double> unit(-1, 1);
    std::vector<double> values;
    for (int i = 0; i < 100'000; ++i) {
        values.push_back(std::bit_cast<double>(anyBits(random)));
        values.push_back(unit(random) * std::pow(10.0, i % 40 - 20));
    }
    for (int k = -1074; k <= 1023; ++k) {
        values.push_back(std::ldexp(1.0, k));  // exact binary fractions hit the 16-digit ties
    }
    for (const HostPoint& s : CycloidSamples({0, 37.25, 0}, {-123.456, 37.25, 0}, {0, 37.25, 78.9012}, 0.01, true)) {
        values.push_back(s.x);
        values.push_back(s.z);
    }
    int mismatches = 0;
    for (const double value : values) {
        if (std::isnan(value) || value == 0) {
            continue;
        }
        const std::string expected = ReferenceText(value);
        const std::string actual = CoordinateText(value);
        if (actual != expected && ++mismatches <= 10) {
            ADD_FAILURE() << std::bit_cast<std::uint64_t>(value) << ": " << actual << " != " << expected;
        }
        ASSERT_LE(actual.size(), kMaxCoordinateTextLength);
    }
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace construct
