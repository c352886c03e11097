// Host operations that fail while a command runs, driven like a user against the simulated
// host's injected faults: host operations of every command raising an error, answers of the
// wrong type, a curve reported drawn that is not there, a command of the user's running in
// the host, and a host that never hands out its script object. After each fault the
// information box names the operation and the host's description (or what the host did, and
// what the command could not undo: a probe line Rhino refused to delete, the line left
// selected), the document holds what the command completed before the fault and none of the
// tool's temporary objects but those the box names, and the next command works. A press on an
// id field that meets a fault does nothing and says nothing. A wrong-type answer of every operation in every command is
// pinned in process (SecurityTest, HostScriptTest); the wrong-type rows here carry one answer of each shape across the
// process boundary.
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
    // A second control line armed with `fault`; empty: none.
    std::string alsoFault = {};
    // What the command could not undo and names in its box: probe lines left (Generation), or
    // the line left selected (Create, 1).
    std::size_t left = 0;
};

// The box of "Create" when its line could not be unselected, neither at the end nor on the way out.
const std::string kLineLeftSelectedBox =
    "Rhino could not complete UnselectObject: Injected failure (Rhino) Left in "
    "Rhino: the line " +
    std::string(kLineId) + " selected.";

// The box of a generation run whose probe line Rhino refused to delete; <probe> stands for its id.
constexpr char kProbeLeftBox[] =
    "The command could not undo everything it did in Rhino. Left in Rhino: the probe line <probe>.";

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
        // Rhino answering False: the probe stays and is named, and the run ends after its point.
        {"Rhino refusing to delete the first probe of the second point", generation, generate,
         "fault refuse DeleteObject 3", 2, kProbeLeftBox, "Calculating Curtate cycloid... 2", "", 1},
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
        {"unselecting the line, and again on the way out: named as left selected", create, createButton,
         Raise("UnselectObject", 1), 10, kLineLeftSelectedBox.c_str(), nullptr, Raise("UnselectObject", 2), 1},
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

        // Press-to-highlight: a failing select on the press or unselect on the release does
        // nothing and says nothing; the next press and release highlight and unhighlight as usual.
        {"Text5 press", Route::Highlight, PanelControl::Text5, Raise("SelectObject", 1), 0, ""},
        {"Text5 release", Route::Highlight, PanelControl::Text5, Raise("UnselectObject", 1), 0, ""},
        {"List1 press on the second row", Route::Highlight, PanelControl::List1, Raise("SelectObject", 1), 0, ""},
        {"List1 release on the second row", Route::Highlight, PanelControl::List1, Raise("UnselectObject", 1), 0, ""},
    };
}

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

const std::vector<std::string> kAllPoints{kPoint1Id, kPoint2Id, kPoint3Id};

// What one row of HostFaults() works with, read from its fields.
struct FaultRun {
    explicit FaultRun(const HostFault& fault)
        : c(fault),
          picked(PickerOf(fault.control)),
          row(fault.control == PanelControl::List1 ? std::optional<int>(1) : std::nullopt),
          highlighted(fault.control == PanelControl::List1 ? kPoint2Id : kLineId) {
        // "fault raise <operation> <n>", "fault refuse <operation> <n>" or "fault wrongtype <operation> <kind>".
        const std::size_t from = c.fault.find(' ', 6) + 1;
        operation = c.fault.substr(from, c.fault.rfind(' ') - from);
        box = c.box ? c.box : "Rhino could not complete " + operation + ": Injected failure (Rhino)";
    }

    const HostFault& c;
    Picked picked;
    std::optional<int> row;  // the list row pressed
    const char* highlighted;
    std::string operation;
    std::string box;
};

class HostFaultsE2ETest : public E2eScenario {
  protected:
    // Gives the host a fresh document from a scene file, without faults or queued picks.
    void LoadScene(const std::string& scene) {
        S().Control().Control("fault clear");
        S().Control().Control("pick clear");
        S().Control().Control("clear");
        S().Control().Control("scene " + BuildPaths().sceneDir + "/" + scene);
    }

    // Answers the box the fault must have opened (none when `box` is empty) and expects no second
    // one. A <probe> in `box` stands for the id of the one probe line left in the document.
    void ExpectBox(std::string box) {
        if (!box.empty()) {
            // The box comes when the command has ended: the document is read after it.
            const std::optional<std::string> shown = S().AnswerInfoBox();
            if (const std::size_t probe = box.find("<probe>"); probe != std::string::npos) {
                const HostDocument document = S().Document();
                const std::vector<const HostObject*> lines = document.OfKind("line");
                ASSERT_EQ(lines.size(), 2u) << "the scene's line and one probe line";
                box.replace(probe, 7, lines.back()->id);
            }
            EXPECT_EQ(shown, std::optional<std::string>(box));
        }
        S().WaitIdle();
        EXPECT_FALSE(S().OpenInfoBox().has_value()) << "a box: " << S().OpenInfoBox()->message;
    }

    // Checks the document after a fault: redraw on, no line but the scene's own and the
    // `probesLeft` probe lines the command named, and nothing selected that the command itself
    // selected for its work.
    void ExpectNoTemporaryObjects(const HostDocument& document, std::size_t probesLeft = 0) {
        EXPECT_TRUE(document.redrawOn) << "redraw left off";
        EXPECT_EQ(document.OfKind("line").size(), 1u + probesLeft) << "a probe line was left behind";
    }

    // The document and panel the command starts from.
    void PrepareRoute(const FaultRun& f) {
        LoadScene(f.c.route == Route::Create ? "typical.scene" : "points.scene");
        S().Click(PanelControl::Command3);
        switch (f.c.route) {
            case Route::Generation:
                P().SetText(PanelControl::Text1, kXyCurveId);
                P().SetText(PanelControl::Text2, kYzCurveId);
                P().SetText(PanelControl::Text3, "5");
                P().SetChecked(PanelControl::Check1, true);
                S().Click(PanelControl::Command1);
                ASSERT_EQ(P().ListRows(), kAllPoints);
                break;
            case Route::Create:
                P().SetText(PanelControl::Text5, kLineId);
                P().SetText(PanelControl::Text4, "10");
                break;
            case Route::Pick:
                P().SetText(f.picked.field, kBefore);
                break;
            case Route::PointList:
                break;
            case Route::Highlight:
                S().Click(PanelControl::Command1);
                P().SetText(PanelControl::Text5, kLineId);
                if (f.row) {
                    P().SelectListRow(*f.row);
                }
                break;
        }
    }

    // Arms the row's fault in the host and queues the picks its command takes.
    void ArmFault(const FaultRun& f) {
        S().Control().Control(f.c.fault);
        if (!f.c.alsoFault.empty()) {
            S().Control().Control(f.c.alsoFault);
        }
        if (f.c.route == Route::Pick) {
            S().QueuePick(f.picked.id);
        } else if (f.c.control == PanelControl::Command8) {
            S().QueuePick(Joined(kAllPoints));
        }
    }

    // Runs the command into the fault and answers the box it ends with.
    void MeetFault(const FaultRun& f) {
        if (f.c.route != Route::Highlight) {
            P().Click(f.c.control);
            ExpectBox(f.box);
        } else {
            const bool failsOnPress = f.operation == "SelectObject";
            P().Press(f.c.control, MouseButton::Left, f.row);
            ExpectBox(failsOnPress ? f.box : "");
            EXPECT_EQ(S().Document().SelectedIds(),
                      failsOnPress ? std::vector<std::string>{} : std::vector<std::string>{f.highlighted});
            P().Release(f.c.control, MouseButton::Left, f.row);
            ExpectBox(failsOnPress ? "" : f.box);
            if (!failsOnPress) {
                // The host refused to unselect: the object stays selected until the next release.
                EXPECT_EQ(S().Document().SelectedIds(), std::vector<std::string>{f.highlighted});
            }
        }
        if (f.c.status != nullptr) {
            EXPECT_EQ(P().StatusShown(), *f.c.status != '\0');
            if (*f.c.status != '\0') {
                EXPECT_EQ(P().Status(), f.c.status);
            }
        }
    }

    // What the command completed before the fault stays, and nothing more.
    void ExpectCompletedWorkKept(const FaultRun& f, const HostDocument& before, const std::vector<std::string>& rows) {
        const HostDocument after = S().Document();
        switch (f.c.route) {
            case Route::Generation: {
                ExpectNoTemporaryObjects(after, f.c.left);
                const std::vector<std::string> keptRows(kAllPoints.begin(),
                                                        kAllPoints.begin() + static_cast<std::ptrdiff_t>(f.c.kept));
                std::vector<const HostObject*> curves = after.AddedSince(before);
                std::erase_if(curves, [](const HostObject* o) { return o->kind == "line"; });
                EXPECT_EQ(CompareCurves(ExpectedCurves(before, keptRows, kXyCurveId, kYzCurveId, 5, true), curves), "");
                EXPECT_EQ(P().ListRows(), rows) << "the run changes no list row";
                EXPECT_EQ(P().Text(PanelControl::Text1), kXyCurveId);
                EXPECT_EQ(P().Text(PanelControl::Text2), kYzCurveId);
                break;
            }
            case Route::Create: {
                const std::vector<const HostObject*> added = after.AddedSince(before);
                EXPECT_EQ(added.size(), f.c.kept);
                EXPECT_TRUE(
                    std::all_of(added.begin(), added.end(), [](const HostObject* o) { return o->kind == "point"; }));
                EXPECT_EQ(after.SelectedIds(),
                          f.c.left == 0 ? std::vector<std::string>{} : std::vector<std::string>{kLineId})
                    << "only a line the box names stays selected";
                EXPECT_EQ(P().Text(PanelControl::Text5), kLineId);
                break;
            }
            case Route::Pick:
                EXPECT_EQ(P().Text(f.picked.field), kBefore);
                EXPECT_TRUE(after.SelectedIds().empty());
                break;
            case Route::PointList: {
                const auto keptEnd = kAllPoints.begin() + static_cast<std::ptrdiff_t>(f.c.kept);
                EXPECT_EQ(P().ListRows(), std::vector<std::string>(kAllPoints.begin(), keptEnd));
                break;
            }
            case Route::Highlight:
                break;
        }
    }

    // The next command, without the fault and once the user's command has ended, works as usual.
    void ExpectNextCommandWorks(const FaultRun& f) {
        S().Control().Control("command end");
        S().Control().Control("fault clear");
        S().Control().Control("pick clear");
        const HostDocument beforeNext = S().Document();
        switch (f.c.route) {
            case Route::Generation: {
                S().Click(PanelControl::Command4);
                EXPECT_FALSE(S().OpenInfoBox().has_value());
                EXPECT_EQ(P().Status(), kDone);
                const HostDocument afterNext = S().Document();
                EXPECT_EQ(afterNext.AddedSince(beforeNext).size(), 3u);
                ExpectNoTemporaryObjects(afterNext, f.c.left);
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
                S().QueuePick(f.picked.id);
                S().Click(f.c.control);
                EXPECT_FALSE(S().OpenInfoBox().has_value());
                EXPECT_EQ(P().Text(f.picked.field), f.picked.id);
                break;
            case Route::PointList:
                if (f.c.control == PanelControl::Command8) {
                    S().QueuePick(Joined(kAllPoints));
                }
                S().Click(f.c.control);
                EXPECT_FALSE(S().OpenInfoBox().has_value());
                EXPECT_EQ(P().ListRows(), kAllPoints);
                break;
            case Route::Highlight:
                S().Press(f.c.control, MouseButton::Left, f.row);
                EXPECT_EQ(S().Document().SelectedIds(), std::vector<std::string>{f.highlighted});
                S().Release(f.c.control, MouseButton::Left, f.row);
                EXPECT_FALSE(S().OpenInfoBox().has_value());
                EXPECT_TRUE(S().Document().SelectedIds().empty());
                break;
        }
    }
};

TEST_F(HostFaultsE2ETest, EachFaultIsReportedAndTheNextCommandWorks) {
    Start(WithScene("points.scene"));
    for (const HostFault& c : HostFaults()) {
        SCOPED_TRACE(c.name);
        const FaultRun f(c);
        PrepareRoute(f);
        const std::vector<std::string> rowsBefore = P().ListRows();
        const HostDocument before = S().Document();
        ArmFault(f);
        MeetFault(f);
        ExpectCompletedWorkKept(f, before, rowsBefore);
        EXPECT_TRUE(S().ToolRunning());
        ExpectNextCommandWorks(f);
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
