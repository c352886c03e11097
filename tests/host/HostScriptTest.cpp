#include "host/HostScript.h"

#include <gtest/gtest.h>

#include "FakeDispatcher.h"
#include "common/HostError.h"

namespace {

using common::HostValue;
using host::HostScript;
using testing_support::FakeDispatcher;

HostValue Hits(std::vector<HostValue> rowsTimesNine, std::uint32_t rows) {
    return HostValue::Array(std::move(rowsTimesNine), {{0, rows}, {0, 9}});
}

std::vector<HostValue> Row(HostValue pointOnA) {
    std::vector<HostValue> row(9, HostValue::Double(0));
    row[0] = HostValue::Int32(1);
    row[1] = pointOnA;
    row[2] = pointOnA;
    return row;
}

TEST(HostScriptTest, BooleansCountOnlyATrueBool) {
    static const struct {
        const char* name;
        HostValue answer;
        bool expected;
    } kCases[] = {
        {"true", HostValue::Bool(true), true},   {"false", HostValue::Bool(false), false},
        {"null", HostValue::Null(), false},      {"empty", HostValue::Empty(), false},
        {"number", HostValue::Int16(-1), false}, {"string", HostValue::String("True"), false},
        {"array", HostValue::Array({HostValue::Bool(true)}), false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        FakeDispatcher fake;
        fake.Default("IsPoint", c.answer);
        HostScript script(&fake);
        EXPECT_EQ(script.IsPoint("id"), c.expected);
    }
}

TEST(HostScriptTest, PointsNeedThreeNumbersFromIndexZero) {
    static const struct {
        const char* name;
        HostValue answer;
        bool valid;
    } kCases[] = {
        {"three doubles", HostValue::Point(1, 2, 3), true},
        {"mixed widths", HostValue::Array({HostValue::Int16(1), HostValue::Int32(2), HostValue::Double(3)}), true},
        {"two doubles", HostValue::Array({HostValue::Double(1), HostValue::Double(2)}), false},
        {"lower bound 1", HostValue::Array({HostValue::Double(1), HostValue::Double(2), HostValue::Double(3)}, {{1, 3}}),
         false},
        {"string element", HostValue::Array({HostValue::Double(1), HostValue::String("2"), HostValue::Double(3)}),
         false},
        {"null", HostValue::Null(), false},
        {"string", HostValue::String("1,2,3"), false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        FakeDispatcher fake;
        fake.Default("PointCoordinates", c.answer);
        HostScript script(&fake);
        const auto point = script.PointCoordinates("id");
        ASSERT_EQ(point.has_value(), c.valid);
        if (c.valid) {
            EXPECT_EQ(*point, (common::HostPoint{1, 2, 3}));
        }
    }
}

TEST(HostScriptTest, IntersectionTakesRowZeroColumnOne) {
    FakeDispatcher fake;
    std::vector<HostValue> rows = Row(HostValue::Point(-20, 10, 0));
    const std::vector<HostValue> second = Row(HostValue::Point(-40, 10, 0));
    rows.insert(rows.end(), second.begin(), second.end());
    fake.Queue("CurveCurveIntersection", Hits(rows, 2));
    fake.Queue("CurveCurveIntersection", HostValue::Null());
    fake.Queue("CurveCurveIntersection", HostValue::Array({HostValue::Point(1, 2, 3), HostValue::Point(1, 2, 3)}));
    HostScript script(&fake);

    EXPECT_EQ(script.CurveCurveIntersection("probe", "curve"), (common::HostPoint{-20, 10, 0}));
    EXPECT_EQ(script.CurveCurveIntersection("probe", "curve"), std::nullopt);
    EXPECT_EQ(script.CurveCurveIntersection("probe", "curve"), std::nullopt) << "a 1-D answer is malformed";
    ASSERT_EQ(fake.calls.size(), 3u);
    EXPECT_EQ(fake.calls[0].Describe(), "CurveCurveIntersection(S:\"probe\", S:\"curve\")");
}

TEST(HostScriptTest, ArgumentsKeepTheirAutomationKinds) {
    FakeDispatcher fake;
    HostScript script(&fake);
    script.GetObject("Pick a Line ", 4);
    script.IsCurveInPlane("c", {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 0}}});
    script.DivideCurve("l", 9);
    script.Command("-InterpCrv Enter");
    script.EnableRedraw(false);
    script.AddLine(HostValue::Point(1, 2, 3), HostValue::Array({HostValue::Int32(-5000), HostValue::Double(2),
                                                                HostValue::Double(3)}));
    std::vector<std::string> described;
    for (const auto& call : fake.calls) {
        described.push_back(call.Describe());
    }
    EXPECT_EQ(described, (std::vector<std::string>{
                             "GetObject(S:\"Pick a Line \", I2:4)",
                             "IsCurveInPlane(S:\"c\", A(A(I2:0,I2:0,I2:0),A(I2:1,I2:0,I2:0),A(I2:0,I2:1,I2:0),"
                             "A(I2:0,I2:0,I2:0)))",
                             "DivideCurve(S:\"l\", R8:9)",
                             "Command(S:\"-InterpCrv Enter\", I4:0)",
                             "EnableRedraw(Bool:false)",
                             "AddLine(A(R8:1,R8:2,R8:3), A(I4:-5000,R8:2,R8:3))",
                         }));
}

TEST(HostScriptTest, IdListsDropWhatIsNoIdAndRefuseNonArrays) {
    FakeDispatcher fake;
    fake.Queue("AllObjects", HostValue::Array({HostValue::String("A"), HostValue::Int32(7), HostValue::String("B")}));
    fake.Queue("AllObjects", HostValue::Null());
    fake.Queue("AllObjects", HostValue::String("A"));
    HostScript script(&fake);
    EXPECT_EQ(script.AllObjects(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(script.AllObjects(), std::nullopt);
    EXPECT_EQ(script.AllObjects(), std::nullopt);
}

TEST(HostScriptTest, PickedIdMustBeText) {
    FakeDispatcher fake;
    fake.Queue("GetObject", HostValue::Int32(12));
    fake.Queue("GetObject", HostValue::Null());
    fake.Queue("GetObject", HostValue::String("ABC"));
    HostScript script(&fake);
    EXPECT_EQ(script.GetObject("p", 4), std::nullopt);
    EXPECT_EQ(script.GetObject("p", 4), std::nullopt);
    EXPECT_EQ(script.GetObject("p", 4), "ABC");
}

TEST(HostScriptTest, WindowHandleReadsAnyNumberAsThirtyTwoBits) {
    static const struct {
        const char* name;
        HostValue answer;
        std::int32_t expected;
    } kCases[] = {
        {"int32", HostValue::Int32(0x1234), 0x1234},
        {"double", HostValue::Double(65636), 65636},
        {"wide", HostValue::Double(4294967296.0 + 10), 10},
        {"null", HostValue::Null(), 0},
        {"text", HostValue::String("12"), 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        FakeDispatcher fake;
        fake.Default("WindowHandle", c.answer);
        HostScript script(&fake);
        EXPECT_EQ(script.WindowHandle(), c.expected);
    }
}

TEST(HostScriptTest, WithoutScriptObjectNothingIsCalled) {
    HostScript script(nullptr);
    EXPECT_FALSE(script.Attached());
    try {
        script.SelectObject("A");
        FAIL() << "expected a host error";
    } catch (const common::HostError& error) {
        EXPECT_EQ(error.Operation(), "SelectObject");
        EXPECT_EQ(error.GetCause(), common::HostError::Cause::NotAttached);
    }
}

TEST(HostScriptTest, HostErrorsPassThrough) {
    FakeDispatcher fake;
    fake.RaiseOn("DeleteObject", 1, "object is locked");
    HostScript script(&fake);
    EXPECT_THROW(script.DeleteObject("A"), common::HostError);
}

}  // namespace
