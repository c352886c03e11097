#include "host/HostScript.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeDispatcher.h"
#include "common/HostError.h"

namespace {

using common::HostError;
using common::HostValue;
using host::HostScript;
using testing_support::FakeDispatcher;

HostValue Doubles(std::vector<double> values) {
    std::vector<HostValue> elements;
    for (const double v : values) {
        elements.push_back(HostValue::Double(v));
    }
    return HostValue::Array(std::move(elements));
}

// CurveCurveIntersection's answer: one row of nine columns per event, the point on curve A at column 1.
HostValue Hits(const std::vector<HostValue>& pointsOnA) {
    std::vector<HostValue> cells;
    for (const HostValue& point : pointsOnA) {
        std::vector<HostValue> row(9, HostValue::Double(0));
        row[0] = HostValue::Int32(1);
        row[1] = row[2] = point;
        cells.insert(cells.end(), row.begin(), row.end());
    }
    return HostValue::Array(std::move(cells), {{0, static_cast<std::uint32_t>(pointsOnA.size())}, {0, 9}});
}

std::string Text(const std::optional<common::HostPoint>& point) {
    if (!point) {
        return "nothing";
    }
    return std::to_string(int(point->x)) + "," + std::to_string(int(point->y)) + "," + std::to_string(int(point->z));
}

std::string Text(const std::optional<std::vector<std::string>>& ids) {
    if (!ids) {
        return "nothing";
    }
    std::string text;
    for (const std::string& id : *ids) {
        text += (text.empty() ? "" : ",") + id;
    }
    return text;
}

// What the script made of the host's answer to `operation`, as text: "nothing" for no value,
// "error <operation>" for a HostError, "not attached" without a script object.
std::string ReadAnswer(HostScript& script, const std::string& operation) {
    try {
        if (operation == "IsPoint") {
            return script.IsPoint("id") ? "true" : "false";
        }
        if (operation == "PointCoordinates") {
            return Text(script.PointCoordinates("id"));
        }
        if (operation == "CurveCurveIntersection") {
            return Text(script.CurveCurveIntersection("probe", "curve"));
        }
        if (operation == "AllObjects") {
            return Text(script.AllObjects());
        }
        if (operation == "GetObject") {
            return script.GetObject("p", 4).value_or("nothing");
        }
        if (operation == "WindowHandle") {
            return std::to_string(script.WindowHandle());
        }
        if (operation == "DeleteObject") {
            script.DeleteObject("A");
            return "done";
        }
        if (operation == "Command") {
            return script.Command("-_InterpCrv _Enter") ? "drawn" : "not drawn";
        }
        if (operation == "LastCommandResult") {
            const std::optional<std::int32_t> code = script.LastCommandResult();
            return code ? std::to_string(*code) : "nothing";
        }
        if (operation == "InCommand") {
            const std::optional<std::int32_t> running = script.InCommand();
            return running ? std::to_string(*running) : "nothing";
        }
        if (operation == "LastCreatedObjects") {
            return Text(script.LastCreatedObjects());
        }
        if (operation == "EnableRedraw") {
            const std::optional<bool> previous = script.EnableRedraw(false);
            return previous ? (*previous ? "was on" : "was off") : "nothing";
        }
        if (operation == "CurveDegree") {
            const std::optional<std::int32_t> degree = script.CurveDegree("id");
            return degree ? std::to_string(*degree) : "nothing";
        }
        if (operation == "UnitAbsoluteTolerance") {
            const std::optional<double> tolerance = script.UnitAbsoluteTolerance();
            return tolerance ? std::to_string(*tolerance) : "nothing";
        }
    } catch (const HostError& error) {
        return error.GetCause() == HostError::Cause::NotAttached ? "not attached " + error.Operation()
                                                                 : "error " + error.Operation();
    }
    ADD_FAILURE() << "no reader for " << operation;
    return {};
}

// Every answer is tested, not trusted: a value of the wrong kind or shape is "nothing" (false for
// a boolean), a host error passes through, and without a script object nothing is called.
TEST(HostScriptTest, AnswersAreReadByTheirOperationsRule) {
    enum class Host { Answers, Raises, Absent };
    static const struct {
        const char* name;
        const char* operation;
        HostValue answer;
        const char* read;
        Host host = Host::Answers;
    } kCases[] = {
        {"bool true", "IsPoint", HostValue::Bool(true), "true"},
        {"bool false", "IsPoint", HostValue::Bool(false), "false"},
        {"null for a bool", "IsPoint", HostValue::Null(), "false"},
        {"empty for a bool", "IsPoint", HostValue::Empty(), "false"},
        {"number -1 for a bool", "IsPoint", HostValue::Int16(-1), "false"},
        {"text True for a bool", "IsPoint", HostValue::String("True"), "false"},
        {"array for a bool", "IsPoint", HostValue::Array({HostValue::Bool(true)}), "false"},

        {"three doubles", "PointCoordinates", HostValue::Point(1, 2, 3), "1,2,3"},
        {"mixed widths", "PointCoordinates",
         HostValue::Array({HostValue::Int16(1), HostValue::Int32(2), HostValue::Double(3)}), "1,2,3"},
        {"two doubles", "PointCoordinates", Doubles({1, 2}), "nothing"},
        {"point indexed from 1", "PointCoordinates",
         HostValue::Array({HostValue::Double(1), HostValue::Double(2), HostValue::Double(3)}, {{1, 3}}), "nothing"},
        {"text element", "PointCoordinates",
         HostValue::Array({HostValue::Double(1), HostValue::String("2"), HostValue::Double(3)}), "nothing"},
        {"null for a point", "PointCoordinates", HostValue::Null(), "nothing"},
        {"text for a point", "PointCoordinates", HostValue::String("1,2,3"), "nothing"},

        {"first of two events, column 1", "CurveCurveIntersection",
         Hits({HostValue::Point(-20, 10, 0), HostValue::Point(-40, 10, 0)}), "-20,10,0"},
        {"null: no intersection", "CurveCurveIntersection", HostValue::Null(), "nothing"},
        {"1-D array of points", "CurveCurveIntersection",
         HostValue::Array({HostValue::Point(1, 2, 3), HostValue::Point(1, 2, 3)}), "nothing"},

        {"ids with a number among them", "AllObjects",
         HostValue::Array({HostValue::String("A"), HostValue::Int32(7), HostValue::String("B")}), "A,B"},
        {"null for ids", "AllObjects", HostValue::Null(), "nothing"},
        {"one text for ids", "AllObjects", HostValue::String("A"), "nothing"},
        {"number for ids", "AllObjects", HostValue::Int32(3), "nothing"},

        {"picked id", "GetObject", HostValue::String("ABC"), "ABC"},
        {"number for a picked id", "GetObject", HostValue::Int32(12), "nothing"},
        {"null for a picked id", "GetObject", HostValue::Null(), "nothing"},

        // A handle keeps its low 32 bits; a number outside the 64-bit range is no handle.
        {"int32 handle", "WindowHandle", HostValue::Int32(0x1234), "4660"},
        {"double handle", "WindowHandle", HostValue::Double(65636), "65636"},
        {"handle wider than 32 bits", "WindowHandle", HostValue::Double(4294967296.0 + 10), "10"},
        {"largest handle below 2^63", "WindowHandle", HostValue::Double(9223372036854774784.0), "-1024"},
        {"2^63", "WindowHandle", HostValue::Double(9223372036854775808.0), "0"},
        {"-2^63", "WindowHandle", HostValue::Double(-9223372036854775808.0), "0"},
        {"smallest handle above -2^63", "WindowHandle", HostValue::Double(-9223372036854774784.0), "1024"},
        {"first double below -2^63", "WindowHandle", HostValue::Double(-9223372036854777856.0), "0"},
        {"null for a handle", "WindowHandle", HostValue::Null(), "0"},
        {"text for a handle", "WindowHandle", HostValue::String("12"), "0"},

        // Only Boolean true says the command did its work.
        {"command true", "Command", HostValue::Bool(true), "drawn"},
        {"command false", "Command", HostValue::Bool(false), "not drawn"},
        {"command null", "Command", HostValue::Null(), "not drawn"},
        {"command empty", "Command", HostValue::Empty(), "not drawn"},
        {"command number -1", "Command", HostValue::Int16(-1), "not drawn"},
        {"command text True", "Command", HostValue::String("True"), "not drawn"},
        {"command error", "Command", HostValue::Null(), "error Command", Host::Raises},

        {"result code", "LastCommandResult", HostValue::Int32(4), "4"},
        {"result code as double", "LastCommandResult", HostValue::Double(1), "1"},
        {"fractional result code", "LastCommandResult", HostValue::Double(1.5), "nothing"},
        {"text for a result code", "LastCommandResult", HostValue::String("0"), "nothing"},
        {"null for a result code", "LastCommandResult", HostValue::Null(), "nothing"},

        {"running a command", "InCommand", HostValue::Int32(1), "1"},
        {"running none, as a double", "InCommand", HostValue::Double(0), "0"},
        {"bool for running a command", "InCommand", HostValue::Bool(true), "nothing"},
        {"unknown question", "InCommand", HostValue::Null(), "error InCommand", Host::Raises},

        {"created ids", "LastCreatedObjects", HostValue::Array({HostValue::String("K1")}), "K1"},
        {"null: nothing created", "LastCreatedObjects", HostValue::Null(), "nothing"},
        {"empty list of created ids", "LastCreatedObjects", HostValue::Array({}), ""},

        {"redraw was on", "EnableRedraw", HostValue::Bool(true), "was on"},
        {"number for the redraw state", "EnableRedraw", HostValue::Int16(-1), "nothing"},
        {"degree", "CurveDegree", HostValue::Int16(3), "3"},
        {"null for a degree", "CurveDegree", HostValue::Null(), "nothing"},
        {"tolerance", "UnitAbsoluteTolerance", HostValue::Double(0.001), "0.001000"},
        {"infinite tolerance", "UnitAbsoluteTolerance", HostValue::Double(std::numeric_limits<double>::infinity()),
         "nothing"},
        {"text for a tolerance", "UnitAbsoluteTolerance", HostValue::String("0.01"), "nothing"},

        {"host error", "DeleteObject", HostValue::Null(), "error DeleteObject", Host::Raises},
        {"no script object", "DeleteObject", HostValue::Null(), "not attached DeleteObject", Host::Absent},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        FakeDispatcher fake;
        if (c.host == Host::Raises) {
            fake.RaiseOn(c.operation, 1, "object is locked");
        } else {
            fake.Default(c.operation, c.answer);
        }
        HostScript script(c.host == Host::Absent ? nullptr : &fake);
        EXPECT_EQ(ReadAnswer(script, c.operation), c.read);
        EXPECT_EQ(fake.calls.size(), c.host == Host::Absent ? 0u : 1u);
    }
}

TEST(HostScriptTest, ArgumentsKeepTheirAutomationKinds) {
    FakeDispatcher fake;
    HostScript script(&fake);
    script.GetObject("Pick a Line ", 4);
    script.IsCurveInPlane("c", {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 0}}});
    script.DivideCurve("l", 9);
    script.Command("-InterpCrv Enter");
    script.EnableRedraw(false);
    script.AddLine(HostValue::Point(1, 2, 3),
                   HostValue::Array({HostValue::Int32(-5000), HostValue::Double(2), HostValue::Double(3)}));
    script.CurveCurveIntersection("probe", "curve");
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
                             "CurveCurveIntersection(S:\"probe\", S:\"curve\")",
                         }));
}

}  // namespace
