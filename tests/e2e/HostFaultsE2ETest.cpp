// Host operations that fail while a command runs, driven like a user against the simulated
// host's injected faults: every host operation of every command raising an error, answers of
// the wrong type, and a host that never hands out its script object. After each fault the
// information box names the operation and the host's description, the document holds what
// the command completed before the fault and none of the tool's temporary objects, and the
// next command works.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "CycloidCheck.h"
#include "E2eScenario.h"
#include "ui/Messages.h"

namespace e2e {
namespace {

using namespace driver;
using common::PanelControl;

constexpr char kDone[] = "Curtate cycloid - DONE!";
constexpr char kBefore[] = "previous id";

// The information box text for an operation the simulated host failed with "fault raise".
std::string RaisedMessage(const std::string& operation) {
    return "Rhino could not complete " + operation + ": Injected failure (Rhino)";
}

std::string FaultLine(const char* operation, int n) {
    return std::string("fault raise ") + operation + " " + std::to_string(n);
}

class HostFaultsE2ETest : public E2eScenario {
  protected:
    // Gives the host a fresh document from a scene file, without faults or queued picks.
    void LoadScene(const std::string& scene) {
        S().Control().Control("fault clear");
        S().Control().Control("pick clear");
        S().Control().Control("clear");
        S().Control().Control("scene " + BuildPaths().sceneDir + "/" + scene);
    }

    // Answers the box the fault must have opened and expects no second one.
    void ExpectRaisedReport(const std::string& operation) {
        EXPECT_EQ(S().AnswerInfoBox(), std::optional<std::string>(RaisedMessage(operation)));
        S().WaitIdle();
        EXPECT_FALSE(S().OpenInfoBox().has_value()) << "a second box: " << S().OpenInfoBox()->message;
    }

    // Checks the document after a fault: redraw on, no line but the scene's own (so no probe
    // line is left), and nothing selected that the command itself selected for its work.
    void ExpectNoTemporaryObjects(const HostDocument& document) {
        EXPECT_TRUE(document.redrawOn) << "redraw left off";
        EXPECT_EQ(document.OfKind("line").size(), 1u) << "a probe line was left behind";
    }
};

// Generate with three listed points. Each point takes SelectObject, IsPoint, PointCoordinates,
// AddLine twice, CurveCurveIntersection twice, Command and DeleteObject twice, so the n-th call
// of an operation names the entry it belongs to. Points whose curve was drawn before the fault
// keep it; the probe lines of the failing entry are deleted and redraw is on again.
TEST_F(HostFaultsE2ETest, GenerationReportsEachFailingOperationAndKeepsTheCurvesDrawnBefore) {
    static const struct {
        const char* name;
        const char* operation;
        int n;
        std::size_t curvesKept;
    } kCases[] = {
        {"clearing the selection at the start", "UnselectAllObjects", 1, 0},
        {"clearing the selection at the end", "UnselectAllObjects", 2, 3},
        {"switching redraw off", "EnableRedraw", 1, 0},
        {"switching redraw back on", "EnableRedraw", 2, 3},
        {"selecting the second entry", "SelectObject", 2, 1},
        {"testing the second entry", "IsPoint", 2, 1},
        {"reading the second point", "PointCoordinates", 2, 1},
        {"adding the first probe of the second point", "AddLine", 3, 1},
        {"adding the second probe of the second point", "AddLine", 4, 1},
        {"intersecting the first probe of the second point", "CurveCurveIntersection", 3, 1},
        {"intersecting the second probe of the second point", "CurveCurveIntersection", 4, 1},
        {"drawing the first curve", "Command", 1, 0},
        {"drawing the second curve", "Command", 2, 1},
        {"deleting the first probe of the second point", "DeleteObject", 3, 2},
        {"deleting the second probe of the second point", "DeleteObject", 4, 2},
    };
    Start(WithScene("points.scene"));
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        LoadScene("points.scene");
        P().SetText(PanelControl::Text1, kXyCurveId);
        P().SetText(PanelControl::Text2, kYzCurveId);
        P().SetText(PanelControl::Text3, "5");
        P().SetChecked(PanelControl::Check1, true);
        S().Click(PanelControl::Command3);
        S().Click(PanelControl::Command1);
        const std::vector<std::string> rows = P().ListRows();
        ASSERT_EQ(rows.size(), 3u);
        const HostDocument before = S().Document();
        S().Control().ClearLog();
        S().Control().Control(FaultLine(c.operation, c.n));

        P().Click(PanelControl::Command4);
        ExpectRaisedReport(c.operation);

        const HostDocument after = S().Document();
        ExpectNoTemporaryObjects(after);
        const std::vector<std::string> keptRows(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(c.curvesKept));
        EXPECT_EQ(
            CompareCurves(ExpectedCurves(before, keptRows, kXyCurveId, kYzCurveId, 5, true), after.AddedSince(before)),
            "");
        EXPECT_EQ(P().ListRows(), rows) << "the run changes no list row";
        EXPECT_EQ(P().Text(PanelControl::Text1), kXyCurveId);
        EXPECT_EQ(P().Text(PanelControl::Text2), kYzCurveId);

        // The next run is a normal one and draws a curve for every point.
        const HostDocument beforeNext = S().Document();
        S().Click(PanelControl::Command4);
        EXPECT_FALSE(S().OpenInfoBox().has_value());
        EXPECT_EQ(P().Status(), kDone);
        const HostDocument afterNext = S().Document();
        EXPECT_EQ(afterNext.AddedSince(beforeNext).size(), 3u);
        ExpectNoTemporaryObjects(afterNext);
        EXPECT_TRUE(afterNext.SelectedIds().empty());
    }
}

// "Create" on the line with 10 points: select, read the selection, divide, add each point,
// unselect. The points added before the fault stay; the line never stays selected.
TEST_F(HostFaultsE2ETest, CreateReportsEachFailingOperationAndNeverLeavesTheLineSelected) {
    static const struct {
        const char* name;
        const char* operation;
        int n;
        std::size_t pointsKept;
    } kCases[] = {
        {"selecting the line", "SelectObject", 1, 0},  {"reading the selection", "SelectedObjects", 1, 0},
        {"dividing the line", "DivideCurve", 1, 0},    {"adding the first point", "AddPoint", 1, 0},
        {"adding the fourth point", "AddPoint", 4, 3}, {"unselecting the line", "UnselectObject", 1, 10},
    };
    Start(WithScene("typical.scene"));
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        LoadScene("typical.scene");
        P().SetText(PanelControl::Text5, kLineId);
        P().SetText(PanelControl::Text4, "10");
        const HostDocument before = S().Document();
        S().Control().Control(FaultLine(c.operation, c.n));

        P().Click(PanelControl::Command2);
        ExpectRaisedReport(c.operation);

        const HostDocument after = S().Document();
        const std::vector<const HostObject*> added = after.AddedSince(before);
        EXPECT_EQ(added.size(), c.pointsKept);
        EXPECT_TRUE(std::all_of(added.begin(), added.end(), [](const HostObject* o) { return o->kind == "point"; }));
        EXPECT_TRUE(after.SelectedIds().empty()) << "still selected: " << Joined(after.SelectedIds());
        EXPECT_EQ(P().Text(PanelControl::Text5), kLineId);

        S().Click(PanelControl::Command2);
        EXPECT_FALSE(S().OpenInfoBox().has_value());
        EXPECT_EQ(S().Document().AddedSince(after).size(), 10u);
        EXPECT_TRUE(S().Document().SelectedIds().empty());
    }
}

// The three pickers: a failing pick or test leaves the field as it was.
TEST_F(HostFaultsE2ETest, PickersReportEachFailingOperationAndKeepTheField) {
    static const struct {
        const char* name;
        PanelControl button;
        PanelControl field;
        const char* picked;
        const char* operation;
    } kCases[] = {
        {"Pick Line: the pick", PanelControl::Command5, PanelControl::Text5, kLineId, "GetObject"},
        {"Pick XY curve: the pick", PanelControl::Command6, PanelControl::Text1, kXyCurveId, "GetObject"},
        {"Pick XY curve: the curve test", PanelControl::Command6, PanelControl::Text1, kXyCurveId, "IsCurve"},
        {"Pick XY curve: the planarity test", PanelControl::Command6, PanelControl::Text1, kXyCurveId, "IsCurvePlanar"},
        {"Pick XY curve: the plane test", PanelControl::Command6, PanelControl::Text1, kXyCurveId, "IsCurveInPlane"},
        {"Pick YZ curve: the pick", PanelControl::Command7, PanelControl::Text2, kYzCurveId, "GetObject"},
        {"Pick YZ curve: the plane test", PanelControl::Command7, PanelControl::Text2, kYzCurveId, "IsCurveInPlane"},
    };
    Start(WithScene("points.scene"));
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        LoadScene("points.scene");
        P().SetText(c.field, kBefore);
        S().Control().Control(FaultLine(c.operation, 1));
        S().QueuePick(c.picked);

        P().Click(c.button);
        ExpectRaisedReport(c.operation);
        EXPECT_EQ(P().Text(c.field), kBefore);
        EXPECT_TRUE(S().Document().SelectedIds().empty());

        S().Control().Control("pick clear");
        S().QueuePick(c.picked);
        S().Click(c.button);
        EXPECT_FALSE(S().OpenInfoBox().has_value());
        EXPECT_EQ(P().Text(c.field), c.picked);
    }
}

// "Pick Points" and "SelAllPts": the ids listed before the fault stay listed, no count is
// shown for an unfinished SelAllPts, and the list is never given a row twice.
TEST_F(HostFaultsE2ETest, PointListCommandsReportEachFailingOperationAndKeepTheRowsListedBefore) {
    static const struct {
        const char* name;
        PanelControl button;
        const char* operation;
        int n;
        std::size_t rowsKept;
    } kCases[] = {
        {"Pick Points: the pick", PanelControl::Command8, "GetObjects", 1, 0},
        {"Pick Points: testing the second id", PanelControl::Command8, "IsPoint", 2, 1},
        {"SelAllPts: listing the document", PanelControl::Command1, "AllObjects", 1, 0},
        // points.scene lists the line and the two plane curves before the three points.
        {"SelAllPts: testing the fifth object", PanelControl::Command1, "IsPoint", 5, 1},
    };
    const std::string allPoints = std::string(kPoint1Id) + " " + kPoint2Id + " " + kPoint3Id;
    Start(WithScene("points.scene"));
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        LoadScene("points.scene");
        S().Click(PanelControl::Command3);
        S().Control().Control(FaultLine(c.operation, c.n));
        if (c.button == PanelControl::Command8) {
            S().QueuePick(allPoints);
        }

        P().Click(c.button);
        ExpectRaisedReport(c.operation);
        const std::vector<std::string> all{kPoint1Id, kPoint2Id, kPoint3Id};
        EXPECT_EQ(P().ListRows(),
                  std::vector<std::string>(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(c.rowsKept)));
        EXPECT_FALSE(P().StatusShown()) << "status shown after a failure: " << P().Status();

        if (c.button == PanelControl::Command8) {
            S().Control().Control("pick clear");
            S().QueuePick(allPoints);
        }
        S().Click(c.button);
        EXPECT_FALSE(S().OpenInfoBox().has_value());
        EXPECT_EQ(P().ListRows(), all);
    }
}

// Press-to-highlight: a failing select on the press or unselect on the release is reported;
// the next press and release highlight and unhighlight as usual.
TEST_F(HostFaultsE2ETest, PressToHighlightReportsAFailingSelectOrUnselect) {
    static const struct {
        const char* name;
        PanelControl control;
        std::optional<int> row;
        const char* id;
        const char* operation;
    } kCases[] = {
        {"Text5 press", PanelControl::Text5, std::nullopt, kLineId, "SelectObject"},
        {"Text5 release", PanelControl::Text5, std::nullopt, kLineId, "UnselectObject"},
        {"List1 press on the second row", PanelControl::List1, 1, kPoint2Id, "SelectObject"},
        {"List1 release on the second row", PanelControl::List1, 1, kPoint2Id, "UnselectObject"},
    };
    Start(WithScene("points.scene"));
    S().Click(PanelControl::Command1);
    ASSERT_EQ(P().ListRows().size(), 3u);
    P().SetText(PanelControl::Text5, kLineId);
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        LoadScene("points.scene");
        if (c.row) {
            P().SelectListRow(*c.row);
        }
        S().Control().Control(FaultLine(c.operation, 1));
        const bool failsOnPress = c.operation == std::string("SelectObject");

        P().Press(c.control, MouseButton::Left, c.row);
        if (failsOnPress) {
            ExpectRaisedReport(c.operation);
            EXPECT_TRUE(S().Document().SelectedIds().empty());
        } else {
            S().WaitIdle();
            EXPECT_EQ(S().Document().SelectedIds(), std::vector<std::string>{c.id});
        }
        P().Release(c.control, MouseButton::Left, c.row);
        if (!failsOnPress) {
            ExpectRaisedReport(c.operation);
            // The host refused to unselect: the object stays selected until the next release.
            EXPECT_EQ(S().Document().SelectedIds(), std::vector<std::string>{c.id});
        } else {
            S().WaitIdle();
        }

        S().Press(c.control, MouseButton::Left, c.row);
        EXPECT_EQ(S().Document().SelectedIds(), std::vector<std::string>{c.id});
        S().Release(c.control, MouseButton::Left, c.row);
        EXPECT_FALSE(S().OpenInfoBox().has_value());
        EXPECT_TRUE(S().Document().SelectedIds().empty());
    }
}

// Answers of an unexpected type count as "nothing": no crash, no host error reported, and
// the command ends as it does when the host has nothing to give.
TEST_F(HostFaultsE2ETest, WrongTypeAnswersAreTakenAsNothing) {
    enum class Setup { None, Generation, LineAndCount };
    static const struct {
        const char* name;
        const char* fault;
        Setup setup;
        PanelControl button;
        const char* pick;     // the pick answer queued in the host; nullptr: none
        const char* message;  // the box the command ends with; nullptr: none
        const char* status;   // the status caption shown at the end; nullptr: hidden
    } kCases[] = {
        {"GetObject answers a number: no pick", "fault wrongtype GetObject number", Setup::None, PanelControl::Command5,
         kLineId, nullptr, nullptr},
        {"GetObjects answers a number: no pick", "fault wrongtype GetObjects number", Setup::None, PanelControl::Command8,
         kPoint1Id, nullptr, nullptr},
        {"IsPoint answers a string: no point listed", "fault wrongtype IsPoint string", Setup::None, PanelControl::Command1,
         nullptr, nullptr, "0 points added!"},
        {"SelectedObjects answers a number: no selection, no division", "fault wrongtype SelectedObjects number",
         Setup::LineAndCount, PanelControl::Command2, nullptr, nullptr, nullptr},
        {"DivideCurve answers a string: the division message", "fault wrongtype DivideCurve string",
         Setup::LineAndCount, PanelControl::Command2, nullptr,
         "Could not divide the line into 10 points. Type 2 or more points beside \"Create\" and pick a line that "
         "Rhino can divide.",
         nullptr},
        {"PointCoordinates answers two numbers: every entry passed over", "fault wrongtype PointCoordinates point2",
         Setup::Generation, PanelControl::Command4, nullptr, nullptr, kDone},
        {"IsPoint answers a string: every entry passed over", "fault wrongtype IsPoint string", Setup::Generation,
         PanelControl::Command4, nullptr, nullptr, kDone},
        {"CurveCurveIntersection answers a flat array: no hit", "fault wrongtype CurveCurveIntersection array1d",
         Setup::Generation, PanelControl::Command4, nullptr, kNoIntersectionMessage, "Calculating Curtate cycloid... 1"},
    };
    Start(WithScene("points.scene"));
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        LoadScene("points.scene");
        S().Click(PanelControl::Command3);
        P().SetText(PanelControl::Text5, kBefore);
        if (c.setup == Setup::Generation) {
            P().SetText(PanelControl::Text1, kXyCurveId);
            P().SetText(PanelControl::Text2, kYzCurveId);
            S().Click(PanelControl::Command1);
            ASSERT_EQ(P().ListRows().size(), 3u);
        }
        if (c.setup == Setup::LineAndCount) {
            P().SetText(PanelControl::Text5, kLineId);
            P().SetText(PanelControl::Text4, "10");
        }
        const std::vector<std::string> rowsBefore = P().ListRows();
        const HostDocument before = S().Document();
        S().Control().Control(c.fault);
        if (c.pick != nullptr) {
            S().QueuePick(c.pick);
        }

        P().Click(c.button);
        if (c.message != nullptr) {
            EXPECT_EQ(S().AnswerInfoBox(), std::optional<std::string>(c.message));
        }
        S().WaitIdle();
        EXPECT_FALSE(S().OpenInfoBox().has_value()) << "unexpected box: " << S().OpenInfoBox()->message;
        EXPECT_TRUE(S().ToolRunning());
        EXPECT_EQ(P().StatusShown(), c.status != nullptr);
        if (c.status != nullptr) {
            EXPECT_EQ(P().Status(), c.status);
        }
        const HostDocument after = S().Document();
        EXPECT_TRUE(after.AddedSince(before).empty()) << "the command added objects";
        ExpectNoTemporaryObjects(after);
        EXPECT_TRUE(after.SelectedIds().empty() || c.setup == Setup::Generation);
        EXPECT_EQ(P().ListRows(), rowsBefore);
        EXPECT_EQ(P().Text(PanelControl::Text5), c.setup == Setup::LineAndCount ? kLineId : kBefore);
    }
}

// Start-up's Rhino 4 route gives up on the script object after ten refusals: the panel runs
// top-level, every command that needs the host says that none is attached and calls nothing,
// and the commands that need no host still work.
TEST_F(HostFaultsE2ETest, NoScriptObjectAfterTenRefusalsEveryHostCommandSaysSo) {
    Start(WithScene("points.scene", {"fault getscriptobject 10"}));
    EXPECT_FALSE(::IsChild(S().Host().MainWindow(), P().Window())) << "the panel was docked";
    EXPECT_TRUE(::IsWindowVisible(P().Window()));

    for (const PanelControl button : {PanelControl::Command5, PanelControl::Command6, PanelControl::Command7, PanelControl::Command8,
                                 PanelControl::Command1, PanelControl::Command2, PanelControl::Command4}) {
        SCOPED_TRACE(static_cast<int>(button));
        P().Click(button);
        EXPECT_EQ(S().AnswerInfoBox(), std::optional<std::string>(ui::kNotAttachedMessage));
    }
    P().SetText(PanelControl::Text5, kLineId);
    S().Press(PanelControl::Text5, MouseButton::Left);
    S().Release(PanelControl::Text5, MouseButton::Left);
    S().Click(PanelControl::Command3);
    EXPECT_FALSE(S().OpenInfoBox().has_value()) << "a press or Del All pts needs no host";
    EXPECT_TRUE(S().Calls().empty()) << "the host was called: " << Joined(Operations());

    std::ifstream log(std::filesystem::path(S().Host().LogFile()));
    std::ostringstream text;
    text << log.rdbuf();
    std::istringstream lines(text.str());
    int scriptObjectCalls = 0;
    for (std::string line; std::getline(lines, line);) {
        scriptObjectCalls += line.rfind("GetScriptObject(", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(scriptObjectCalls, 10) << text.str();
}

}  // namespace
}  // namespace e2e
