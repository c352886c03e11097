// Host operations that fail while a command runs, driven like a user against the simulated
// host's injected faults: host operations of every command raising an error, answers of the
// wrong type, a curve reported drawn that is not there, a command of the user's running in
// the host, and a host that never hands out its script object. After each fault the
// information box names the operation and the host's description (or what the host did), the
// document holds what the command completed before the fault and none of the tool's temporary
// objects, and the next command works. A wrong-type answer of every operation in every command is pinned in
// process (SecurityTest, HostScriptTest); the wrong-type rows here carry one answer of each
// shape across the process boundary.
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
constexpr char kDivisionFailed[] =
    "Could not divide the line into 10 points. Type 2 or more points beside \"Create\" and pick a line that "
    "Rhino can divide.";

// The command a fault interrupts, each with the document and panel it starts from.
enum class Route {
    Generation,  // "Generate" on the three points of points.scene, both sides, step 5
    Create,      // "Create" with 10 points on the line of typical.scene
    Pick,        // a picker (the button) taking its object
    PointList,   // "Pick Points" taking the three points, or "SelAllPts"
    Highlight,   // press and release on Text5 or on the second row of List1
};

struct HostFault {
    const char* name;
    Route route;
    PanelControl control;  // the button clicked or the control pressed
    std::string fault;     // the control line that arms the fault in the host
    std::size_t kept;      // what the command completed before the fault: curves, points or list rows
    // The box the command ends with: nullptr, the report of the raised fault; "" none.
    const char* box = nullptr;
    // The status caption at the end: nullptr, not looked at; "" hidden.
    const char* status = nullptr;
};

// The n-th call of `operation` raises an error, once.
std::string Raise(const char* operation, int n) {
    return std::string("fault raise ") + operation + " " + std::to_string(n);
}

// Every call of `operation` answers a value of the wrong type.
std::string WrongType(const char* operation, const char* kind) {
    return std::string("fault wrongtype ") + operation + " " + kind;
}

std::vector<HostFault> HostFaults() {
    const Route generation = Route::Generation;
    const Route create = Route::Create;
    const PanelControl generate = PanelControl::Command4;
    const PanelControl createButton = PanelControl::Command2;
    return {
        // Generation. Each point takes SelectObject, IsPoint, PointCoordinates, AddLine twice,
        // CurveCurveIntersection twice, Command and DeleteObject twice, so the n-th call of an
        // operation names the entry it belongs to. Points whose curve was drawn before the fault
        // keep it; the probe lines of the failing entry are deleted and redraw is on again.
        {"clearing the selection at the start", generation, generate, Raise("UnselectAllObjects", 1), 0},
        {"clearing the selection at the end", generation, generate, Raise("UnselectAllObjects", 2), 3},
        {"switching redraw off", generation, generate, Raise("EnableRedraw", 1), 0},
        {"switching redraw back on", generation, generate, Raise("EnableRedraw", 2), 3},
        {"selecting the second entry", generation, generate, Raise("SelectObject", 2), 1},
        {"testing the second entry", generation, generate, Raise("IsPoint", 2), 1},
        {"reading the second point", generation, generate, Raise("PointCoordinates", 2), 1},
        {"adding the first probe of the second point", generation, generate, Raise("AddLine", 3), 1},
        {"adding the second probe of the second point", generation, generate, Raise("AddLine", 4), 1},
        {"intersecting the first probe of the second point", generation, generate, Raise("CurveCurveIntersection", 3),
         1},
        {"intersecting the second probe of the second point", generation, generate, Raise("CurveCurveIntersection", 4),
         1},
        {"drawing the first curve", generation, generate, Raise("Command", 1), 0},
        {"drawing the second curve", generation, generate, Raise("Command", 2), 1},
        {"Rhino answering False for the second curve", generation, generate, "fault refuse Command 2", 1,
         "Rhino did not draw the curve of point 44444444-4444-4444-8444-000000000002. The command failed.",
         "Calculating Curtate cycloid... 2"},
        {"Rhino answering True without drawing the second curve", generation, generate, "fault drawnothing Command 2",
         1, "Rhino did not draw the curve of point 44444444-4444-4444-8444-000000000002. The command was cancelled.",
         "Calculating Curtate cycloid... 2"},
        // A command of the user's runs in Rhino: nothing is done, not even the run's first step.
        {"Generate while the user's Move runs", generation, generate, "command start", 0, ui::kHostInCommandMessage,
         "3 points added!"},
        {"deleting the first probe of the second point", generation, generate, Raise("DeleteObject", 3), 2},
        {"deleting the second probe of the second point", generation, generate, Raise("DeleteObject", 4), 2},
        {"PointCoordinates answers two numbers: every entry passed over", generation, generate,
         WrongType("PointCoordinates", "point2"), 0, "", kDone},
        {"CurveCurveIntersection answers a flat array: no hit", generation, generate,
         WrongType("CurveCurveIntersection", "array1d"), 0, kNoIntersectionMessage, "Calculating Curtate cycloid... 1"},

        // "Create": select, read the selection, divide, add each point, unselect. The points
        // added before the fault stay; the line never stays selected.
        {"selecting the line", create, createButton, Raise("SelectObject", 1), 0},
        {"reading the selection", create, createButton, Raise("SelectedObjects", 1), 0},
        {"dividing the line", create, createButton, Raise("DivideCurve", 1), 0},
        {"adding the first point", create, createButton, Raise("AddPoint", 1), 0},
        {"adding the fourth point", create, createButton, Raise("AddPoint", 4), 3},
        {"unselecting the line", create, createButton, Raise("UnselectObject", 1), 10},
        {"DivideCurve answers a string: the division message", create, createButton, WrongType("DivideCurve", "string"),
         0, kDivisionFailed, ""},
        {"Create while the user's Move runs", create, createButton, "command start", 0, ui::kHostInCommandMessage},

        // The pickers: a failing pick or test leaves the field as it was.
        {"Pick Line: the pick", Route::Pick, PanelControl::Command5, Raise("GetObject", 1), 0},
        {"Pick XY curve: the pick", Route::Pick, PanelControl::Command6, Raise("GetObject", 1), 0},
        {"Pick XY curve: the curve test", Route::Pick, PanelControl::Command6, Raise("IsCurve", 1), 0},
        {"Pick XY curve: the planarity test", Route::Pick, PanelControl::Command6, Raise("IsCurvePlanar", 1), 0},
        {"Pick XY curve: the plane test", Route::Pick, PanelControl::Command6, Raise("IsCurveInPlane", 1), 0},
        {"Pick YZ curve: the pick", Route::Pick, PanelControl::Command7, Raise("GetObject", 1), 0},
        {"Pick YZ curve: the plane test", Route::Pick, PanelControl::Command7, Raise("IsCurveInPlane", 1), 0},
        {"Pick Line: GetObject answers a number, no pick", Route::Pick, PanelControl::Command5,
         WrongType("GetObject", "number"), 0, "", ""},

        // "Pick Points" and "SelAllPts": the ids listed before the fault stay listed, no count is
        // shown for an unfinished SelAllPts, and the list is never given a row twice.
        {"Pick Points: the pick", Route::PointList, PanelControl::Command8, Raise("GetObjects", 1), 0, nullptr, ""},
        {"Pick Points: testing the second id", Route::PointList, PanelControl::Command8, Raise("IsPoint", 2), 1,
         nullptr, ""},
        {"SelAllPts: listing the document", Route::PointList, PanelControl::Command1, Raise("AllObjects", 1), 0,
         nullptr, ""},
        // points.scene lists the line and the two plane curves before the three points.
        {"SelAllPts: testing the fifth object", Route::PointList, PanelControl::Command1, Raise("IsPoint", 5), 1,
         nullptr, ""},
        {"SelAllPts: IsPoint answers a string, no point listed", Route::PointList, PanelControl::Command1,
         WrongType("IsPoint", "string"), 0, "", "0 points added!"},

        // Press-to-highlight: a failing select on the press or unselect on the release is
        // reported; the next press and release highlight and unhighlight as usual.
        {"Text5 press", Route::Highlight, PanelControl::Text5, Raise("SelectObject", 1), 0},
        {"Text5 release", Route::Highlight, PanelControl::Text5, Raise("UnselectObject", 1), 0},
        {"List1 press on the second row", Route::Highlight, PanelControl::List1, Raise("SelectObject", 1), 0},
        {"List1 release on the second row", Route::Highlight, PanelControl::List1, Raise("UnselectObject", 1), 0},
    };
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

    // Answers the box the fault must have opened (none when `box` is empty) and expects no second one.
    void ExpectBox(const std::string& box) {
        if (!box.empty()) {
            EXPECT_EQ(S().AnswerInfoBox(), std::optional<std::string>(box));
        }
        S().WaitIdle();
        EXPECT_FALSE(S().OpenInfoBox().has_value()) << "a box: " << S().OpenInfoBox()->message;
    }

    // Checks the document after a fault: redraw on, no line but the scene's own (so no probe
    // line is left), and nothing selected that the command itself selected for its work.
    void ExpectNoTemporaryObjects(const HostDocument& document) {
        EXPECT_TRUE(document.redrawOn) << "redraw left off";
        EXPECT_EQ(document.OfKind("line").size(), 1u) << "a probe line was left behind";
    }
};

// The field a picker fills and the object it is given.
struct Picked {
    PanelControl field;
    const char* id;
};
Picked PickerOf(PanelControl button) {
    return button == PanelControl::Command5   ? Picked{PanelControl::Text5, kLineId}
           : button == PanelControl::Command6 ? Picked{PanelControl::Text1, kXyCurveId}
                                              : Picked{PanelControl::Text2, kYzCurveId};
}

TEST_F(HostFaultsE2ETest, EachFaultIsReportedAndTheNextCommandWorks) {
    const std::vector<std::string> allPoints{kPoint1Id, kPoint2Id, kPoint3Id};
    const std::string allPointsPick = Joined(allPoints);
    Start(WithScene("points.scene"));
    for (const HostFault& c : HostFaults()) {
        SCOPED_TRACE(c.name);
        // "fault raise <operation> <n>" or "fault wrongtype <operation> <kind>".
        const std::size_t from = c.fault.find(' ', 6) + 1;
        const std::string operation = c.fault.substr(from, c.fault.rfind(' ') - from);
        const std::string box = c.box ? c.box : "Rhino could not complete " + operation + ": Injected failure (Rhino)";
        const Picked picked = PickerOf(c.control);
        const std::optional<int> row = c.control == PanelControl::List1 ? std::optional<int>(1) : std::nullopt;
        const char* highlighted = c.control == PanelControl::List1 ? kPoint2Id : kLineId;

        // The document and panel the command starts from.
        LoadScene(c.route == Route::Create ? "typical.scene" : "points.scene");
        S().Click(PanelControl::Command3);
        switch (c.route) {
            case Route::Generation:
                P().SetText(PanelControl::Text1, kXyCurveId);
                P().SetText(PanelControl::Text2, kYzCurveId);
                P().SetText(PanelControl::Text3, "5");
                P().SetChecked(PanelControl::Check1, true);
                S().Click(PanelControl::Command1);
                ASSERT_EQ(P().ListRows(), allPoints);
                break;
            case Route::Create:
                P().SetText(PanelControl::Text5, kLineId);
                P().SetText(PanelControl::Text4, "10");
                break;
            case Route::Pick:
                P().SetText(picked.field, kBefore);
                break;
            case Route::PointList:
                break;
            case Route::Highlight:
                S().Click(PanelControl::Command1);
                P().SetText(PanelControl::Text5, kLineId);
                if (row) {
                    P().SelectListRow(*row);
                }
                break;
        }
        const std::vector<std::string> rowsBefore = P().ListRows();
        const HostDocument before = S().Document();
        S().Control().Control(c.fault);
        if (c.route == Route::Pick) {
            S().QueuePick(picked.id);
        } else if (c.control == PanelControl::Command8) {
            S().QueuePick(allPointsPick);
        }

        // The command meets the fault.
        if (c.route == Route::Highlight) {
            const bool failsOnPress = operation == "SelectObject";
            P().Press(c.control, MouseButton::Left, row);
            if (failsOnPress) {
                ExpectBox(box);
                EXPECT_TRUE(S().Document().SelectedIds().empty());
            } else {
                S().WaitIdle();
                EXPECT_EQ(S().Document().SelectedIds(), std::vector<std::string>{highlighted});
            }
            P().Release(c.control, MouseButton::Left, row);
            if (failsOnPress) {
                S().WaitIdle();
            } else {
                ExpectBox(box);
                // The host refused to unselect: the object stays selected until the next release.
                EXPECT_EQ(S().Document().SelectedIds(), std::vector<std::string>{highlighted});
            }
        } else {
            P().Click(c.control);
            ExpectBox(box);
        }
        if (c.status != nullptr) {
            EXPECT_EQ(P().StatusShown(), *c.status != '\0');
            if (*c.status != '\0') {
                EXPECT_EQ(P().Status(), c.status);
            }
        }

        // What the command completed before the fault stays, and nothing more.
        const HostDocument after = S().Document();
        switch (c.route) {
            case Route::Generation: {
                ExpectNoTemporaryObjects(after);
                const std::vector<std::string> keptRows(allPoints.begin(),
                                                        allPoints.begin() + static_cast<std::ptrdiff_t>(c.kept));
                EXPECT_EQ(CompareCurves(ExpectedCurves(before, keptRows, kXyCurveId, kYzCurveId, 5, true),
                                        after.AddedSince(before)),
                          "");
                EXPECT_EQ(P().ListRows(), rowsBefore) << "the run changes no list row";
                EXPECT_EQ(P().Text(PanelControl::Text1), kXyCurveId);
                EXPECT_EQ(P().Text(PanelControl::Text2), kYzCurveId);
                break;
            }
            case Route::Create: {
                const std::vector<const HostObject*> added = after.AddedSince(before);
                EXPECT_EQ(added.size(), c.kept);
                EXPECT_TRUE(
                    std::all_of(added.begin(), added.end(), [](const HostObject* o) { return o->kind == "point"; }));
                EXPECT_TRUE(after.SelectedIds().empty()) << "still selected: " << Joined(after.SelectedIds());
                EXPECT_EQ(P().Text(PanelControl::Text5), kLineId);
                break;
            }
            case Route::Pick:
                EXPECT_EQ(P().Text(picked.field), kBefore);
                EXPECT_TRUE(after.SelectedIds().empty());
                break;
            case Route::PointList: {
                const auto keptEnd = allPoints.begin() + static_cast<std::ptrdiff_t>(c.kept);
                EXPECT_EQ(P().ListRows(), std::vector<std::string>(allPoints.begin(), keptEnd));
                break;
            }
            case Route::Highlight:
                break;
        }
        EXPECT_TRUE(S().ToolRunning());

        // The next command, without the fault and once the user's command has ended, works as usual.
        S().Control().Control("command end");
        S().Control().Control("fault clear");
        S().Control().Control("pick clear");
        const HostDocument beforeNext = S().Document();
        switch (c.route) {
            case Route::Generation: {
                S().Click(PanelControl::Command4);
                EXPECT_FALSE(S().OpenInfoBox().has_value());
                EXPECT_EQ(P().Status(), kDone);
                const HostDocument afterNext = S().Document();
                EXPECT_EQ(afterNext.AddedSince(beforeNext).size(), 3u);
                ExpectNoTemporaryObjects(afterNext);
                EXPECT_TRUE(afterNext.SelectedIds().empty());
                break;
            }
            case Route::Create:
                S().Click(PanelControl::Command2);
                EXPECT_FALSE(S().OpenInfoBox().has_value());
                EXPECT_EQ(S().Document().AddedSince(beforeNext).size(), 10u);
                EXPECT_TRUE(S().Document().SelectedIds().empty());
                break;
            case Route::Pick:
                S().QueuePick(picked.id);
                S().Click(c.control);
                EXPECT_FALSE(S().OpenInfoBox().has_value());
                EXPECT_EQ(P().Text(picked.field), picked.id);
                break;
            case Route::PointList:
                if (c.control == PanelControl::Command8) {
                    S().QueuePick(allPointsPick);
                }
                S().Click(c.control);
                EXPECT_FALSE(S().OpenInfoBox().has_value());
                EXPECT_EQ(P().ListRows(), allPoints);
                break;
            case Route::Highlight:
                S().Press(c.control, MouseButton::Left, row);
                EXPECT_EQ(S().Document().SelectedIds(), std::vector<std::string>{highlighted});
                S().Release(c.control, MouseButton::Left, row);
                EXPECT_FALSE(S().OpenInfoBox().has_value());
                EXPECT_TRUE(S().Document().SelectedIds().empty());
                break;
        }
    }
}

// Start-up's Rhino 4 route gives up on the script object after ten refusals: the panel runs
// top-level, every command that needs the host says that none is attached and calls nothing,
// and the commands that need no host still work.
TEST_F(HostFaultsE2ETest, NoScriptObjectAfterTenRefusalsEveryHostCommandSaysSo) {
    Start(WithScene("points.scene", {"fault getscriptobject 10"}));
    EXPECT_FALSE(::IsChild(S().Host().MainWindow(), P().Window())) << "the panel was docked";
    EXPECT_TRUE(::IsWindowVisible(P().Window()));

    for (const PanelControl button :
         {PanelControl::Command5, PanelControl::Command6, PanelControl::Command7, PanelControl::Command8,
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
