// "Generate Curtate Cycloid" driven like a user: pick the two plane curves, list the points,
// generate, and compare every curve the host drew with the tool's own generator.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "CycloidCheck.h"
#include "E2eScenario.h"
#include "construct/CycloidGenerator.h"

namespace e2e {
namespace {

using namespace driver;

using common::PanelControl;

constexpr char kDone[] = "Curtate cycloid - DONE!";

class GenerationE2ETest : public E2eScenario {
  protected:
    // Picks the XY and YZ curves and lists every point of the document.
    void PrepareInputs() {
        S().QueuePick(kXyCurveId);
        S().Click(PanelControl::Command6);
        S().QueuePick(kYzCurveId);
        S().Click(PanelControl::Command7);
        S().Click(PanelControl::Command1);
        ASSERT_EQ(P().Text(PanelControl::Text1), kXyCurveId);
        ASSERT_EQ(P().Text(PanelControl::Text2), kYzCurveId);
    }

    // One generation with the step and both-sides flag typed into the panel; checks every
    // created curve against the generator and returns the calls the run made.
    std::vector<LoggedCall> GenerateAndCheck(const std::string& stepText, double step, bool bothSides) {
        P().SetText(PanelControl::Text3, stepText);
        P().SetChecked(PanelControl::Check1, bothSides);
        const HostDocument before = S().Document();
        const std::vector<std::string> rows = P().ListRows();
        S().Control().ClearLog();
        S().Click(PanelControl::Command4);
        EXPECT_FALSE(S().OpenInfoBox().has_value()) << "unexpected box: " << S().OpenInfoBox()->message;
        EXPECT_EQ(P().Status(), kDone);
        EXPECT_TRUE(P().StatusShown());
        const HostDocument after = S().Document();
        const std::vector<CurveExpectation> expected =
            ExpectedCurves(before, rows, kXyCurveId, kYzCurveId, step, bothSides);
        std::vector<const HostObject*> created = after.AddedSince(before);
        EXPECT_EQ(CompareCurves(expected, created), "");
        EXPECT_TRUE(after.redrawOn);
        EXPECT_TRUE(after.SelectedIds().empty()) << "still selected: " << Joined(after.SelectedIds());
        EXPECT_EQ(after.OfKind("line").size(), before.OfKind("line").size()) << "probe lines left behind";

        const std::vector<LoggedCall> calls = S().Calls();
        std::size_t commandIndex = 0;
        for (const LoggedCall& call : calls) {
            if (call.operation != "Command") {
                continue;
            }
            SCOPED_TRACE("command " + std::to_string(commandIndex + 1));
            EXPECT_EQ(call.arguments.size(), 2u);
            const std::optional<std::string> text = StringArgument(call.arguments.at(0));
            if (!text || commandIndex >= expected.size()) {
                ADD_FAILURE() << "unexpected command " << call.arguments.at(0);
                break;
            }
            // The host drew exactly what the text says: the text of the drawn points is the text sent.
            if (commandIndex < created.size()) {
                EXPECT_EQ(*text, construct::CycloidCommandText(created[commandIndex]->points));
            }
            ++commandIndex;
        }
        EXPECT_EQ(commandIndex, expected.size());
        return calls;
    }
};

std::vector<std::string> GenerationCalls(std::size_t points) {
    std::vector<std::string> ops{"InCommand", "UnselectAllObjects", "EnableRedraw"};
    for (std::size_t i = 0; i < points; ++i) {
        for (const char* op :
             {"SelectObject", "IsPoint", "PointCoordinates", "AddLine", "AddLine", "CurveCurveIntersection",
              "CurveCurveIntersection", "Command", "LastCreatedObjects", "DeleteObject", "DeleteObject"}) {
            ops.emplace_back(op);
        }
    }
    ops.emplace_back("UnselectAllObjects");
    ops.emplace_back("EnableRedraw");
    return ops;
}

// Beside Rhino 4 and beside a later version (Rhino.exe, attached by the same steps) the run makes
// the same calls; a Rhino that does not know the questions InCommand and LastCreatedObjects
// refuses each of them (its log notes it), and every curve is drawn all the same.
TEST_F(GenerationE2ETest, TypicalRequestDrawsOneCurvePerPointWhereTheGeneratorSays) {
    static const struct {
        const char* name;
        int version;
        bool knowsQuestions;
    } kCases[] = {
        {"Rhino 4", 4, true},
        {"Rhino 7", 7, true},
        {"Rhino 4 without InCommand and LastCreatedObjects", 4, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        HostOptions options = WithScene(
            "points.scene", c.knowsQuestions ? std::vector<std::string>{}
                                             : std::vector<std::string>{"unknown InCommand LastCreatedObjects"});
        options.version = c.version;
        Start(options);
        EXPECT_EQ(P().Text(PanelControl::Text3), "5");
        EXPECT_EQ(P().Text(PanelControl::Text4), "10");
        EXPECT_TRUE(P().Checked(PanelControl::Check1));
        PrepareInputs();
        ASSERT_EQ(P().ListRows(), (std::vector<std::string>{kPoint1Id, kPoint2Id, kPoint3Id}));

        const std::vector<LoggedCall> calls = GenerateAndCheck("5", 5, true);
        EXPECT_EQ(Joined(OperationsOf(calls)), Joined(GenerationCalls(3)));
        ASSERT_EQ(calls.size(), GenerationCalls(3).size());
        EXPECT_EQ(calls[2].arguments, std::vector<std::string>{"Bool false"});
        EXPECT_EQ(calls.back().arguments, std::vector<std::string>{"Bool true"});
        // Probe lines go towards x = -5000 and z = 5000 from the point, and meet the picked curves.
        EXPECT_EQ(StringArgument(calls[3].arguments.at(0)), kPoint1Id);
        EXPECT_EQ(StringArgument(calls[8].arguments.at(1)), kXyCurveId);
        EXPECT_EQ(StringArgument(calls[9].arguments.at(1)), kYzCurveId);
        for (const LoggedCall& call : calls) {
            if (call.operation == "InCommand" || call.operation == "LastCreatedObjects") {
                EXPECT_EQ(call.note.rfind("unknown name", 0) == 0, !c.knowsQuestions) << call.note;
            }
        }
        const HostDocument after = S().Document();
        EXPECT_EQ(after.OfKind("curve").size(), 3u);
    }
}

TEST_F(GenerationE2ETest, StepAndBothSidesSetTheSamples) {
    static const struct {
        const char* name;
        const char* stepText;
        double step;
        bool bothSides;
    } kCases[] = {
        {"step 5, both sides: 73 samples", "5", 5, true},
        {"step 5, one side: 37 samples", "5", 5, false},
        {"step 7, one side: 26 samples, the last at 175", "7", 7, false},
        {"step 90, both sides", "90", 90, true},
        {"step 2.5 typed with blanks", " 2.5 ", 2.5, false},
    };
    Start(WithScene("points.scene"));
    PrepareInputs();
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        GenerateAndCheck(c.stepText, c.step, c.bothSides);
    }
}

// The user picks the YZ curve where it is seen whole, in the Right viewport, and leaves it the
// active one: the curves still lie where the generator says in world coordinates, since every
// point of the command is given in world coordinates.
TEST_F(GenerationE2ETest, CurvesLieInWorldCoordinatesWithTheRightViewportActive) {
    Start(WithScene("points.scene"));
    S().QueuePick(kXyCurveId);
    S().Click(PanelControl::Command6);
    S().PickWithClick(PanelControl::Command7, kYzCurveId, "Right");
    ASSERT_EQ(P().Text(PanelControl::Text2), kYzCurveId);
    ASSERT_EQ(S().Control().Control("view"), "Right") << "the pick's click makes Right active";
    S().Click(PanelControl::Command1);
    GenerateAndCheck("5", 5, true);
    EXPECT_EQ(S().Control().Control("view"), "Right");
}

// A Rhino in German knows the commands only by their English names behind "_".
TEST_F(GenerationE2ETest, CurvesAreDrawnByARhinoInAnotherLanguage) {
    HostOptions options = WithScene("points.scene");
    options.language = "de";
    Start(options);
    ASSERT_EQ(S().Control().Control("language"), "de");
    PrepareInputs();
    GenerateAndCheck("5", 5, true);
}

// A negative step gives a command without points, which Rhino refuses: the run ends at the first
// point with the message and is not called done.
TEST_F(GenerationE2ETest, NegativeStepEndsAtTheFirstPointAsARefusedCurve) {
    Start(WithScene("points.scene"));
    PrepareInputs();
    P().SetText(PanelControl::Text3, "-5");
    const HostDocument before = S().Document();
    S().Control().ClearLog();
    P().Click(PanelControl::Command4);
    EXPECT_EQ(S().AnswerInfoBox(), std::optional<std::string>(std::string("Rhino did not draw the curve of point ") +
                                                              kPoint1Id + ". The command failed."));
    EXPECT_EQ(P().Status(), "Calculating Curtate cycloid... 1");
    const HostDocument after = S().Document();
    EXPECT_TRUE(after.AddedSince(before).empty());
    EXPECT_TRUE(after.redrawOn);
    const std::vector<std::string> ops = Operations();
    ASSERT_GE(ops.size(), 5u);
    EXPECT_EQ(Joined({ops.end() - 5, ops.end()}), "Command LastCommandResult DeleteObject DeleteObject EnableRedraw");
}

TEST_F(GenerationE2ETest, MissingInputCreatesNothingAndEndsDone) {
    static const struct {
        const char* name;
        const char* text1;
        const char* text2;
        bool listPoints;
    } kCases[] = {
        {"no XY curve", "", kYzCurveId, true},
        {"no YZ curve", kXyCurveId, "", true},
        {"no points listed", kXyCurveId, kYzCurveId, false},
    };
    Start(WithScene("points.scene"));
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        P().SetText(PanelControl::Text1, c.text1);
        P().SetText(PanelControl::Text2, c.text2);
        S().Click(PanelControl::Command3);
        if (c.listPoints) {
            S().Click(PanelControl::Command1);
        }
        const HostDocument before = S().Document();
        S().Control().ClearLog();
        S().Click(PanelControl::Command4);
        EXPECT_FALSE(S().OpenInfoBox().has_value());
        EXPECT_EQ(P().Status(), kDone);
        EXPECT_EQ(Joined(Operations()), "InCommand UnselectAllObjects EnableRedraw EnableRedraw");
        EXPECT_TRUE(S().Document().AddedSince(before).empty());
    }
}

TEST_F(GenerationE2ETest, EntriesThatAreNoPointsAreSkipped) {
    Start(WithScene("points.scene"));
    PrepareInputs();
    // The document changes under the tool: the second listed id now names a line, and a
    // fourth listed id names nothing.
    S().Control().Control("add point 0 20 0 id=44444444-4444-4444-8444-000000000004");
    S().Click(PanelControl::Command1);
    ASSERT_EQ(P().ListRows().size(), 4u);
    S().Control().Control("clear");
    S().Control().Control("scene " + BuildPaths().sceneDir + "/points.scene");
    HostDocument document = S().Document();
    S().Control().Control("clear");
    for (const HostObject& object : document.objects) {
        std::string line = object.kind;
        for (const common::HostPoint& p : object.points) {
            line += " " + std::to_string(p.x) + " " + std::to_string(p.y) + " " + std::to_string(p.z);
        }
        if (object.id == kPoint2Id) {
            line = "line 0 10 0 0 12 0";
        }
        S().Control().Control("add " + line + " id=" + object.id);
    }
    const HostDocument before = S().Document();
    ASSERT_EQ(before.Find(kPoint2Id)->kind, "line");
    S().Control().ClearLog();
    S().Click(PanelControl::Command4);
    EXPECT_FALSE(S().OpenInfoBox().has_value());
    EXPECT_EQ(P().Status(), kDone);
    const HostDocument after = S().Document();
    const std::vector<CurveExpectation> expected =
        ExpectedCurves(before, P().ListRows(), kXyCurveId, kYzCurveId, 5, true);
    ASSERT_EQ(expected.size(), 2u);
    EXPECT_EQ(CompareCurves(expected, after.AddedSince(before)), "");
    const std::vector<std::string> ops = Operations();
    std::vector<std::string> want{"InCommand", "UnselectAllObjects", "EnableRedraw"};
    const std::vector<std::string> point = {"SelectObject",
                                            "IsPoint",
                                            "PointCoordinates",
                                            "AddLine",
                                            "AddLine",
                                            "CurveCurveIntersection",
                                            "CurveCurveIntersection",
                                            "Command",
                                            "LastCreatedObjects",
                                            "DeleteObject",
                                            "DeleteObject"};
    want.insert(want.end(), point.begin(), point.end());
    want.insert(want.end(), {"SelectObject", "IsPoint"});
    want.insert(want.end(), point.begin(), point.end());
    want.insert(want.end(), {"SelectObject", "IsPoint", "UnselectAllObjects", "EnableRedraw"});
    EXPECT_EQ(Joined(ops), Joined(want));
    EXPECT_TRUE(after.SelectedIds().empty());
}

TEST_F(GenerationE2ETest, MissedIntersectionStopsWithItsMessage) {
    static const struct {
        const char* name;
        const char* point;  // the second base point, off the world Y axis
    } kCases[] = {
        {"point beside the YZ plane: the vertical probe misses the YZ curve", "point 5 10 0"},
        {"point above the XY plane: the horizontal probe misses the XY curve", "point 0 10 3"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Start(WithScene("typical.scene", {"add point 0 -20 0 id=44444444-4444-4444-8444-000000000001",
                                          std::string("add ") + c.point + " id=44444444-4444-4444-8444-000000000002",
                                          "add point 0 30 0 id=44444444-4444-4444-8444-000000000003"}));
        PrepareInputs();
        const HostDocument before = S().Document();
        S().Control().ClearLog();
        P().Click(PanelControl::Command4);
        EXPECT_EQ(S().AnswerInfoBox(), kNoIntersectionMessage);
        EXPECT_EQ(P().Status(), "Calculating Curtate cycloid... 2");
        EXPECT_TRUE(P().StatusShown());
        const HostDocument after = S().Document();
        const std::vector<const HostObject*> created = after.AddedSince(before);
        ASSERT_EQ(created.size(), 1u) << "only the first point's curve, and no probe line, stays";
        const std::vector<CurveExpectation> first =
            ExpectedCurves(before, {kPoint1Id}, kXyCurveId, kYzCurveId, 5, true);
        EXPECT_EQ(CompareCurves(first, created), "");
        EXPECT_TRUE(after.redrawOn);
        EXPECT_EQ(after.SelectedIds(), (std::vector<std::string>{kPoint1Id, kPoint2Id}));
        const std::vector<std::string> ops = Operations();
        ASSERT_GE(ops.size(), 4u);
        EXPECT_EQ(Joined({ops.end() - 4, ops.end()}), "CurveCurveIntersection DeleteObject DeleteObject EnableRedraw");
        EXPECT_EQ(std::count(ops.begin(), ops.end(), "Command"), 1);
    }
}

TEST_F(GenerationE2ETest, StepThatReadsAsZeroIsRefusedWithAMessage) {
    static const struct {
        const char* name;
        const char* stepText;
    } kCases[] = {{"zero", "0"}, {"empty", ""}, {"not a number", "abc"}};
    Start(WithScene("points.scene"));
    PrepareInputs();
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        P().SetText(PanelControl::Text3, c.stepText);
        const HostDocument before = S().Document();
        S().Control().ClearLog();
        P().Click(PanelControl::Command4);
        const std::optional<std::string> message = S().AnswerInfoBox();
        ASSERT_TRUE(message.has_value()) << "a step of \"" << c.stepText << "\" must be refused with a message";
        EXPECT_NE(message->find("step"), std::string::npos) << *message;
        const HostDocument after = S().Document();
        EXPECT_TRUE(after.AddedSince(before).empty());
        EXPECT_TRUE(after.redrawOn);
        const std::vector<std::string> ops = Operations();
        EXPECT_EQ(std::count(ops.begin(), ops.end(), "Command"), 0);
        EXPECT_EQ(std::count(ops.begin(), ops.end(), "AddLine"), std::count(ops.begin(), ops.end(), "DeleteObject"));
    }
}

// With --log the tool writes one line per host call, in the order the host took them, each
// command text shortened to its ends and its length.
TEST_F(GenerationE2ETest, LogHasOneLinePerHostCallInOrder) {
    const std::filesystem::path logPath = std::filesystem::path(WindowsPath(BuildPaths().workDir)) / "generation.log";
    std::filesystem::remove(logPath);
    HostOptions options = WithScene("points.scene");
    options.toolArguments = {L"--log", logPath.wstring()};
    Start(options);
    PrepareInputs();
    const std::vector<LoggedCall> calls = GenerateAndCheck("1", 1, true);

    std::vector<std::string> loggedOperations;
    std::vector<std::string> commandLines;
    std::ifstream log(logPath);
    for (std::string line; std::getline(log, line);) {
        const std::size_t call = line.find(" ms  call ");
        if (call != std::string::npos) {
            const std::size_t name = call + 10;
            loggedOperations.push_back(line.substr(name, line.find('(', name) - name));
            if (loggedOperations.back() == "Command") {
                commandLines.push_back(line);
            }
        }
    }
    ASSERT_GE(loggedOperations.size(), calls.size());
    const std::vector<std::string> generation(loggedOperations.end() - static_cast<std::ptrdiff_t>(calls.size()),
                                              loggedOperations.end());
    EXPECT_EQ(Joined(generation), Joined(OperationsOf(calls)));
    ASSERT_EQ(commandLines.size(), 3u);
    for (const std::string& line : commandLines) {
        EXPECT_NE(line.find("(S:\"-_InterpCrv w"), std::string::npos) << line;
        EXPECT_NE(line.find(" _Enter\" ("), std::string::npos) << line;
        EXPECT_NE(line.find(" characters), I4:0) -> Bool:true ("), std::string::npos) << line;
        EXPECT_LT(line.size(), 400u) << line;
    }
}

}  // namespace
}  // namespace e2e
