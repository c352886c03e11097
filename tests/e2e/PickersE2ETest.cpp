// "Pick Line", "Pick XY curve" and "Pick YZ curve": accept, cancel and reject, each answered
// through the simulated host's scripted picks.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "E2eScenario.h"

namespace e2e {
namespace {

using namespace driver;
using common::PanelControl;

constexpr char kNotXy[] = "Selected curve is not in the XY plane";
constexpr char kNotYz[] = "Selected curve is not in the YZ plane";
constexpr char kBefore[] = "previous id";

class PickersE2ETest : public E2eScenario {};

TEST_F(PickersE2ETest, EachPickerAcceptsCancelsAndRejects) {
    static const struct {
        const char* name;
        PanelControl button;
        PanelControl field;
        const char* answer;      // the pick answer queued in the host
        const char* fieldAfter;  // nullptr: unchanged
        const char* message;     // nullptr: no box
        const char* calls;       // the host operations of the click
        const char* prompt;      // the prompt of GetObject
    } kCases[] = {
        {"Pick Line takes the line", PanelControl::Command5, PanelControl::Text5, kLineId, kLineId, nullptr,
         "InCommand GetObject", "Pick a Line "},
        {"Pick Line takes any curve without a test", PanelControl::Command5, PanelControl::Text5, kSpaceCurveId,
         kSpaceCurveId, nullptr, "InCommand GetObject", "Pick a Line "},
        {"Pick Line cancelled", PanelControl::Command5, PanelControl::Text5, "cancel", nullptr, nullptr,
         "InCommand GetObject", "Pick a Line "},
        {"Pick XY curve takes a curve in the XY plane", PanelControl::Command6, PanelControl::Text1, kXyCurveId,
         kXyCurveId, nullptr, "InCommand GetObject IsCurve IsCurvePlanar IsCurveInPlane", "Pick a XY curve "},
        {"Pick XY curve rejects a YZ curve with its message", PanelControl::Command6, PanelControl::Text1, kYzCurveId,
         nullptr, kNotXy, "InCommand GetObject IsCurve IsCurvePlanar IsCurveInPlane", "Pick a XY curve "},
        {"Pick XY curve ends silently on a curve that is not planar", PanelControl::Command6, PanelControl::Text1,
         kSpaceCurveId, nullptr, nullptr, "InCommand GetObject IsCurve IsCurvePlanar", "Pick a XY curve "},
        {"Pick XY curve cancelled", PanelControl::Command6, PanelControl::Text1, "cancel", nullptr, nullptr,
         "InCommand GetObject", "Pick a XY curve "},
        {"Pick YZ curve takes a curve in the YZ plane", PanelControl::Command7, PanelControl::Text2, kYzCurveId,
         kYzCurveId, nullptr, "InCommand GetObject IsCurveInPlane", "Pick a YZ curve "},
        {"Pick YZ curve rejects an XY curve with its message", PanelControl::Command7, PanelControl::Text2, kXyCurveId,
         nullptr, kNotYz, "InCommand GetObject IsCurveInPlane", "Pick a YZ curve "},
        {"Pick YZ curve rejects a curve that is not planar with its message", PanelControl::Command7,
         PanelControl::Text2, kSpaceCurveId, nullptr, kNotYz, "InCommand GetObject IsCurveInPlane", "Pick a YZ curve "},
        {"Pick YZ curve cancelled", PanelControl::Command7, PanelControl::Text2, "cancel", nullptr, nullptr,
         "InCommand GetObject", "Pick a YZ curve "},
    };
    Start(WithScene("points.scene"));
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        P().SetText(c.field, kBefore);
        S().QueuePick(c.answer);
        S().Control().ClearLog();
        P().Click(c.button);
        if (c.message != nullptr) {
            EXPECT_EQ(S().AnswerInfoBox(), std::optional<std::string>(c.message));
        } else {
            S().WaitIdle();
            EXPECT_FALSE(S().OpenInfoBox().has_value());
        }
        EXPECT_EQ(P().Text(c.field), c.fieldAfter != nullptr ? c.fieldAfter : kBefore);
        EXPECT_FALSE(P().StatusShown()) << "every picker hides the status label";
        const std::vector<LoggedCall> calls = S().Calls();
        EXPECT_EQ(Joined(OperationsOf(calls)), c.calls);
        ASSERT_GE(calls.size(), 2u);
        ASSERT_EQ(calls[1].arguments.size(), 2u);
        EXPECT_EQ(StringArgument(calls[1].arguments[0]), std::optional<std::string>(c.prompt));
        EXPECT_EQ(calls[1].arguments[1], "Int16 4");
        S().CloseOpenBoxes();
        S().Control().Control("pick clear");
    }
}

TEST_F(PickersE2ETest, PlaneTestsPassTheFourPlaneEntries) {
    Start(WithScene("points.scene"));
    S().QueuePick(kXyCurveId);
    S().Control().ClearLog();
    S().Click(PanelControl::Command6);
    S().QueuePick(kYzCurveId);
    S().Click(PanelControl::Command7);
    std::vector<std::string> planes;
    for (const LoggedCall& call : S().Calls()) {
        if (call.operation == "IsCurveInPlane") {
            ASSERT_EQ(call.arguments.size(), 2u);
            planes.push_back(call.arguments[1]);
        }
    }
    ASSERT_EQ(planes.size(), 2u);
    EXPECT_EQ(planes[0],
              "Array[0:4]{Array[0:3]{Int16 0; Int16 0; Int16 0}; Array[0:3]{Int16 1; Int16 0; Int16 0}; "
              "Array[0:3]{Int16 0; Int16 1; Int16 0}; Array[0:3]{Int16 0; Int16 0; Int16 0}}");
    EXPECT_EQ(planes[1],
              "Array[0:4]{Array[0:3]{Int16 0; Int16 0; Int16 0}; Array[0:3]{Int16 0; Int16 0; Int16 1}; "
              "Array[0:3]{Int16 0; Int16 1; Int16 0}; Array[0:3]{Int16 0; Int16 0; Int16 1}}");
}

}  // namespace
}  // namespace e2e
