#include "hostsim/model/CommandParser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <string>

#include "hostsim/model/Curve.h"

namespace hostsim {
namespace {

TEST(CommandParserTest, ReadsEveryNumberFormOfTheGenerator) {
    static const struct {
        const char* word;
        double expected;
    } kCases[] = {
        {"-20", -20.0},
        {".5", 0.5},
        {"-.5", -0.5},
        {"-4.9737991503207E-14", -4.9737991503207e-14},
        {"15.0000000000001", 15.0000000000001},
        {"1E+15", 1e15},
        {"0", 0.0},
        {"1234.5", 1234.5},
        {".333333333333333", 0.333333333333333},
        {"2.5e-7", 2.5e-7},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.word);
        const std::string text = std::string("-InterpCrv ") + c.word + ",10," + c.word + " 0,0,0 Enter";
        const auto points = ParseInterpCrvCommand(text);
        ASSERT_TRUE(points.has_value());
        ASSERT_EQ(points->size(), 2u);
        EXPECT_EQ((*points)[0].x, c.expected);
        EXPECT_EQ((*points)[0].y, 10.0);
        EXPECT_EQ((*points)[0].z, c.expected);
    }
}

TEST(CommandParserTest, CommandNameFormsAndSeparators) {
    static const struct {
        const char* text;
        std::size_t points;
    } kCases[] = {
        {"-InterpCrv -20,10,0 -25,10,15 Enter", 2}, {"_-InterpCrv 1,2,3 4,5,6 Enter", 2},
        {"interpcrv 1,2,3 4,5,6 enter", 2},         {"  -INTERPCRV\n1,2,3\n4,5,6\r\nEnter\n", 2},
        {"-InterpCrv 1,2 4,5 7,8,9 Enter", 3},      {"-InterpCrv Enter", 0},
        {"-_InterpCrv w-20,10,0 W1,2 _Enter", 2},   {"-_InterpCrv _Enter", 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.text);
        const auto points = ParseInterpCrvCommand(c.text);
        ASSERT_TRUE(points.has_value());
        EXPECT_EQ(points->size(), c.points);
    }
    const auto flat = ParseInterpCrvCommand("-InterpCrv 1,2 4,5 Enter");
    EXPECT_EQ((*flat)[1], (Vec3{4, 5, 0}));
}

TEST(CommandParserTest, RefusesTextsItCannotRead) {
    static const char* const kTexts[] = {
        "",
        "-Line 0,0,0 1,1,1 Enter",
        "-InterpCrvX 0,0,0 1,1,1 Enter",
        "-InterpCrv 0,0,0 1,1,1",
        "-InterpCrv 0,0,0 1,1,1 Enter extra",
        "-InterpCrv 0,0,0,0 1,1,1 Enter",
        "-InterpCrv 0 1,1,1 Enter",
        "-InterpCrv 0,,0 1,1,1 Enter",
        "-InterpCrv 0,0, 1,1,1 Enter",
        "-InterpCrv 1,0,0 a,1,1 Enter",
        "-InterpCrv 1,0,0 1;1;1 Enter",
        "-InterpCrv 1,0,0 inf,1,1 Enter",
        "-InterpCrv 1,0,0 nan,1,1 Enter",
        "-InterpCrv 1,0,0 1e999,1,1 Enter",
        "-InterpCrv 1,0,0 0x10,1,1 Enter",
        "-InterpCrv 1 , 0 , 0 Enter",
        "-_InterpCrv w 1,1,1 _Enter",
        "-_InterpCrv 1,0,0 ww1,1,1 _Enter",
        "-_InterpCrv 1,0,0 _1,1,1 _Enter",
        "-_InterpCrv 1,0,0 1,1,1 -Enter",
    };
    for (const char* text : kTexts) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(ParseInterpCrvCommand(text).has_value());
    }
}

TEST(CommandParserTest, MegabyteTextParsesAndBuildsInLinearTime) {
    const std::size_t count = 360001;
    std::string text = "-InterpCrv ";
    text.reserve(count * 40);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) * 0.001;
        text += std::to_string(t * 0.1 - 20.0) + ",10," + std::to_string(std::sin(t) * 15.0 + 15.0) + " ";
    }
    text += "Enter";
    ASSERT_GT(text.size(), 5'000'000u);
    // Processor time rather than wall time, so that a busy machine does not fail the test.
    const std::clock_t start = std::clock();
    const auto points = ParseInterpCrvCommand(text);
    ASSERT_TRUE(points.has_value());
    ASSERT_EQ(points->size(), count);
    const auto curve = Curve::MakeInterpolated(*points);
    ASSERT_TRUE(curve.has_value());
    const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    EXPECT_LT(seconds, 1.0);
    EXPECT_NEAR(Distance(curve->PointAt(curve->Knot(180000)), (*points)[180000]), 0.0, 1e-9);
}

}  // namespace
}  // namespace hostsim
