#include "hostsim/model/ScriptApi.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "hostsim/model/Document.h"

namespace hostsim {
namespace {

// Answers picks from a script and records what it was asked.
class FakePicker : public PickProvider {
  public:
    std::optional<std::vector<std::string>> Pick(const std::string& prompt, int filter, bool many) override {
        asked.push_back(prompt + "|" + std::to_string(filter) + "|" + (many ? "many" : "one"));
        return answer;
    }
    std::optional<ClickSpot> SpotOf(const std::string&, ViewKind view) const override {
        return view == ViewKind::Right ? std::optional<ClickSpot>(ClickSpot{700, 420}) : std::nullopt;
    }

    std::optional<std::vector<std::string>> answer;
    std::vector<std::string> asked;
};

class ScriptControlTest : public ::testing::Test {
  protected:
    Value Call(const std::string& op, std::vector<Value> args = {}) { return api.Call(op, args); }

    ScriptApi api{3};
};

TEST_F(ScriptControlTest, ScriptedPicksComeFirstThenTheProvider) {
    const std::string a = api.Control("add line 0 0 0 1 0 0");
    const std::string b = api.Control("add point 2 0 0");
    FakePicker picker;
    picker.answer = std::vector<std::string>{b};
    api.SetPickProvider(&picker);

    std::string lower = a;
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    api.Control("pick {" + lower + "}");
    api.Control("pick cancel");
    api.Control("pick " + a + " " + b);
    const Value args[] = {Value::String("Pick a Line "), Value::Int16(4)};
    // The scripted id is answered in the host's own spelling.
    EXPECT_EQ(Call("GetObject", {args[0], args[1]}), Value::String(a));
    EXPECT_EQ(Call("GetObject", {args[0], args[1]}), Value::Null());
    EXPECT_EQ(Call("GetObjects", {Value::String("Pick objects"), Value::Int16(5)}),
              Value::Array({Value::String(a), Value::String(b)}));
    EXPECT_TRUE(picker.asked.empty());
    // Queue used up: the provider is asked, with the prompt and filter as given.
    EXPECT_EQ(Call("GetObjects", {Value::String("Pick points"), Value::Int16(1)}), Value::Array({Value::String(b)}));
    picker.answer.reset();
    EXPECT_EQ(Call("GetObject", {args[0], args[1]}), Value::Null());
    EXPECT_EQ(picker.asked, (std::vector<std::string>{"Pick points|1|many", "Pick a Line |4|one"}));
    // Picks do not select.
    EXPECT_EQ(Call("SelectedObjects"), Value::Null());
}

// A scripted pick gives only what the viewport lets the user pick: an object the call's filter
// allows. Any other answer is taken as a pick that ended with nothing picked, and the call's
// log line says why.
TEST_F(ScriptControlTest, ScriptedPicksOutsideThePicksFilterAnswerNothingPicked) {
    const std::string line = api.Control("add line 0 0 0 1 0 0");
    const std::string point = api.Control("add point 2 0 0");
    const std::string deleted = api.Control("add point 3 0 0");
    api.Doc().Delete(deleted);
    const std::string locked = api.Control("add line 0 1 0 1 1 0 locked");
    const std::string hidden = api.Control("add line 0 2 0 1 2 0 hidden");
    static const struct {
        const char* name;
        std::vector<std::string> picked;
        const char* operation;
        int filter;
        std::vector<std::string> answer;  // empty: Null
        std::string note;
    } kCases[] = {
        {"a point where curves are asked for", {point}, "GetObject", 4, {}, "a point, which filter 4 does not allow"},
        {"a curve among points", {point, line}, "GetObjects", 1, {}, "a curve, which filter 1 does not allow"},
        {"an object since deleted", {deleted}, "GetObject", 0, {}, "it names no object"},
        {"a locked line", {locked}, "GetObject", 4, {}, "it is locked, so it cannot be picked"},
        {"a hidden line", {hidden}, "GetObject", 4, {}, "it is hidden, so it cannot be picked"},
        {"any object for filter 0", {point}, "GetObject", 0, {point}, ""},
        {"points and curves for filter 5", {line, point}, "GetObjects", 5, {line, point}, ""},
        {"GetObject takes the first id only", {line, point}, "GetObject", 4, {line}, ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        api.QueuePick(c.picked);
        const Value answer =
            Call(c.operation, {Value::String("Pick"), Value::Int16(static_cast<std::int16_t>(c.filter))});
        std::vector<Value> ids;
        for (const std::string& id : c.answer) {
            ids.push_back(Value::String(id));
        }
        EXPECT_EQ(answer, c.answer.empty()                          ? Value::Null()
                          : std::string(c.operation) == "GetObject" ? ids[0]
                                                                    : Value::Array(ids));
        const CallRecord logged = api.Log().Record(api.Log().Size() - 1);
        const std::string refused = c.note.empty() ? "" : "scripted pick " + c.picked.back() + " refused: " + c.note;
        EXPECT_EQ(logged.note, refused);
    }
}

TEST_F(ScriptControlTest, RaiseFaultFiresOnTheNthCallOnly) {
    const std::string id = api.Control("add point 0 0 0");
    api.Control("fault raise ispoint 2");
    EXPECT_EQ(Call("IsPoint", {Value::String(id)}), Value::Bool(true));
    try {
        Call("IsPoint", {Value::String(id)});
        FAIL() << "no error raised";
    } catch (const ScriptError& error) {
        EXPECT_EQ(error.Operation(), "IsPoint");
    }
    EXPECT_EQ(Call("IsPoint", {Value::String(id)}), Value::Bool(true));
    // The faulted call is logged like any other.
    EXPECT_EQ(api.Log().CountOf("IsPoint"), 3u);
}

TEST_F(ScriptControlTest, ExitFaultCallsTheHandlerAndRunsNothing) {
    int exits = 0;
    api.SetExitHandler([&] { ++exits; });
    api.Control("fault exit AddPoint 1");
    EXPECT_THROW(Call("AddPoint", {Value::Point(1, 2, 3)}), ScriptError);
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(api.ExitRequested());
    EXPECT_EQ(api.Doc().Count(), 0u);
}

TEST_F(ScriptControlTest, WrongTypeFaults) {
    const std::string line = api.Control("add line 0 10 0 -100 10 0");
    const std::string curve = api.Control("add line -20 0 0 -20 30 0");
    const std::string point = api.Control("add point 1 2 3");
    static const struct {
        const char* name;
        const char* control;
        const char* op;
        std::vector<Value> args;
        const char* expectedText;
    } kCases[] = {
        {"number for an id",
         "fault wrongtype AddLine number 1",
         "AddLine",
         {Value::Point(0, 0, 0), Value::Point(1, 0, 0)},
         "Double 1"},
        {"string for a boolean",
         "fault wrongtype IsPoint string 1",
         "IsPoint",
         {Value::String(point)},
         "String \"True\""},
        {"two doubles for a point",
         "fault wrongtype PointCoordinates point2 1",
         "PointCoordinates",
         {Value::String(point)},
         "Array[0:2]{Double 1; Double 2}"},
        {"null", "fault wrongtype SelectedObjects null 1", "SelectedObjects", {}, "Null"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        api.Control(c.control);
        EXPECT_EQ(api.Call(c.op, c.args).Text(), c.expectedText);
    }
    // 1-D where 2-D is expected: the nine cells of the one row, flattened.
    api.Control("fault wrongtype CurveCurveIntersection array1d");
    for (int i = 0; i < 2; ++i) {
        const Value hits = Call("CurveCurveIntersection", {Value::String(line), Value::String(curve)});
        ASSERT_EQ(hits.Dimensions(), 1u);
        EXPECT_EQ(hits.Elements().size(), 9u);
    }
    api.Control("fault clear");
    EXPECT_EQ(Call("CurveCurveIntersection", {Value::String(line), Value::String(curve)}).Dimensions(), 2u);
}

// "fault refuse": the call does nothing and answers false; Command's result code says it failed.
// "fault drawnothing": Command answers true, draws nothing, and its result code says cancelled.
TEST_F(ScriptControlTest, RefuseAndDrawNothingFaultsFireOnceAndDrawNothing) {
    static const struct {
        const char* control;
        Value answer;
        int code;
    } kCases[] = {
        {"fault refuse Command 2", Value::Bool(false), 3},
        {"fault drawnothing command 2", Value::Bool(true), 1},
    };
    const std::vector<Value> args = {Value::String("-_InterpCrv w0,0,0 w1,1,1 _Enter"), Value::Int16(0)};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.control);
        api.Control("clear");
        api.Control(c.control);
        EXPECT_EQ(Call("Command", args), Value::Bool(true));
        EXPECT_EQ(Call("Command", args), c.answer);
        EXPECT_EQ(Call("LastCommandResult"), Value::Int32(c.code));
        EXPECT_EQ(Call("LastCreatedObjects"), Value::Null());
        EXPECT_EQ(api.Doc().Count(), 1u);
        EXPECT_EQ(Call("Command", args), Value::Bool(true));
        EXPECT_EQ(Call("LastCommandResult"), Value::Int32(0));
        EXPECT_EQ(api.Doc().Count(), 2u);
    }
    api.Control("fault drawnothing Command");
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(Call("Command", args), Value::Bool(true));
    }
    EXPECT_EQ(api.Doc().Count(), 2u);
}

// While a command of the user's runs, or a dialog box that lets calls run is open, InCommand
// says so, Command fails without drawing and picks end at once; other calls run as usual.
TEST_F(ScriptControlTest, AUserCommandRunningRefusesCommandAndPicksOnly) {
    const std::string line = api.Control("add line 0 0 0 1 0 0");
    std::vector<std::optional<DialogKind>> dialogRequests;
    api.SetDialogHandler([&](std::optional<DialogKind> kind) { dialogRequests.push_back(kind); });
    static const struct {
        const char* name;
        const char* start;  // a control line, or null for the dialog box
        const char* reason;
    } kCases[] = {
        {"Move by default", "command start", "the user's command Move is running"},
        {"a named command", "command start Rotate3D", "the user's command Rotate3D is running"},
        {"a dialog box that lets calls run", nullptr, "a dialog box of the user's command is open"},
    };
    const std::vector<Value> command = {Value::String("-_InterpCrv w0,0,0 w1,1,1 _Enter"), Value::Int16(0)};
    const std::vector<Value> pick = {Value::String("Pick a Line "), Value::Int16(4)};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        if (c.start) {
            api.Control(c.start);
        } else {
            api.SetCommandDialogOpen(true);
        }
        api.Control("log clear");
        api.Control("pick " + line);
        EXPECT_EQ(Call("InCommand"), Value::Int32(1));
        EXPECT_EQ(Call("Command", command), Value::Bool(false));
        EXPECT_EQ(Call("LastCommandResult"), Value::Int32(3));
        EXPECT_EQ(Call("LastCreatedObjects"), Value::Null());
        EXPECT_EQ(Call("GetObject", pick), Value::Null());
        EXPECT_EQ(Call("GetObjects", pick), Value::Null());
        EXPECT_EQ(Call("AddPoint", {Value::Point(5, 5, 5)}).Kind(), ValueKind::String);
        EXPECT_EQ(api.Doc().Count(), 2u);
        EXPECT_EQ(api.Log().Record(1).note, std::string(c.reason) + ": the command was not run");
        EXPECT_EQ(api.Log().Record(4).note, std::string(c.reason) + ": nothing picked");

        api.Control("command end");
        api.SetCommandDialogOpen(false);
        Call("DeleteObject", {Call("AllObjects").Elements()[1]});
        EXPECT_EQ(Call("InCommand"), Value::Int32(0));
        EXPECT_EQ(Call("GetObject", pick), Value::String(line)) << "the queued pick was left for later";
    }
    api.Control("dialog open runs");
    api.Control("dialog open BUSY");
    api.Control("dialog close");
    EXPECT_EQ(dialogRequests, (std::vector<std::optional<DialogKind>>{DialogKind::Runs, DialogKind::Busy, {}}));
}

// "unknown": the named operations are unknown to the host until "unknown clear".
TEST_F(ScriptControlTest, UnknownLineMakesOperationsUnknown) {
    api.Control("unknown incommand LastCreatedObjects");
    EXPECT_FALSE(api.Knows("InCommand"));
    EXPECT_TRUE(api.Knows("LastCommandResult"));
    EXPECT_FALSE(api.Knows("NoSuchOperation"));
    try {
        Call("InCommand");
        FAIL() << "no error raised";
    } catch (const ScriptError& error) {
        EXPECT_EQ(error.Description(), "Unknown name");
    }
    api.LogUnknownName("LastCreatedObjects", {}, "GetIDsOfNames refused it");
    EXPECT_EQ(api.Control("log"),
              "InCommand() # unknown name: this host does not know the operation\n"
              "LastCreatedObjects() # unknown name: GetIDsOfNames refused it\n");
    api.Control("unknown clear");
    EXPECT_EQ(Call("InCommand"), Value::Int32(0));
}

// InterpCrv's remembered options shape the curve the next Command draws, as a user who changed
// them in the host would find: degree 1 a polyline through the points, PersistentClose a curve
// closed back to its first point; the end points and degree read back by the script operations.
TEST_F(ScriptControlTest, InterpCrvOptionsShapeTheCurveCommandDraws) {
    const std::string text = "-_InterpCrv w0,0,0 w1,2,0 w4,1,5E-15 _Enter";
    EXPECT_EQ(api.Control("interpcrv"), "Degree=3 Knots=Chord PersistentClose=No");
    ASSERT_EQ(Call("Command", {Value::String(text)}), Value::Bool(true));
    const Value cubic = Call("LastCreatedObjects").Elements()[0];
    EXPECT_EQ(Call("CurveDegree", {cubic}), Value::Int32(3));
    EXPECT_EQ(Call("IsCurveClosed", {cubic}), Value::Bool(false));
    EXPECT_EQ(Call("CurveStartPoint", {cubic}), Value::Point(0, 0, 0));
    EXPECT_EQ(Call("CurveEndPoint", {cubic}), Value::Point(4, 1, 5E-15));

    EXPECT_EQ(api.Control("interpcrv degree=1 knots=uniform persistentclose=yes"), "ok");
    EXPECT_EQ(api.Control("interpcrv"), "Degree=1 Knots=Uniform PersistentClose=Yes");
    ASSERT_EQ(Call("Command", {Value::String(text)}), Value::Bool(true));
    const Value closedPolyline = Call("LastCreatedObjects").Elements()[0];
    EXPECT_EQ(Call("CurveDegree", {closedPolyline}), Value::Int32(1));
    EXPECT_EQ(Call("IsCurveClosed", {closedPolyline}), Value::Bool(true));
    EXPECT_EQ(Call("CurveEndPoint", {closedPolyline}), Value::Point(0, 0, 0));
    EXPECT_EQ(api.Doc().Find(closedPolyline.AsString())->curve->GetShape(), Curve::Shape::Polyline);

    EXPECT_EQ(api.Control("interpcrv Degree=5 PersistentClose=No Knots=SqrtChrd"), "ok");
    ASSERT_EQ(Call("Command", {Value::String(text)}), Value::Bool(true));
    EXPECT_EQ(Call("CurveDegree", {Call("LastCreatedObjects").Elements()[0]}), Value::Int32(5));
    EXPECT_EQ(Call("CurveDegree", {Value::String("not an id")}), Value::Null());
}

// The document's units are read and set as the host's UnitAbsoluteTolerance and UnitSystem are.
TEST_F(ScriptControlTest, UnitOperationsReadAndSetTheDocumentsUnits) {
    EXPECT_EQ(Call("UnitAbsoluteTolerance"), Value::Double(0.01));
    EXPECT_EQ(Call("UnitAbsoluteTolerance", {Value::Double(0.001)}), Value::Double(0.01));
    EXPECT_EQ(Call("UnitAbsoluteTolerance"), Value::Double(0.001));
    EXPECT_EQ(Call("UnitAbsoluteTolerance", {Value::Int32(0)}), Value::Null());
    EXPECT_EQ(Call("UnitSystem"), Value::Int32(2));
    EXPECT_EQ(Call("UnitSystem", {Value::Int32(8)}), Value::Int32(2));
    EXPECT_EQ(Call("UnitSystem"), Value::Int32(8));
    EXPECT_EQ(Call("UnitSystem", {Value::Int32(26)}), Value::Null());
    EXPECT_EQ(Call("UnitSystem", {Value::Double(2.5)}), Value::Null());
}

// The active viewport and the language are set (and read back) by control lines; "spot" asks
// the window where a click would land on an object.
TEST_F(ScriptControlTest, ViewLanguageAndSpotLines) {
    EXPECT_EQ(api.Control("view"), "Top");
    EXPECT_EQ(api.Control("view right"), "ok");
    EXPECT_EQ(api.ActiveView(), ViewKind::Right);
    EXPECT_EQ(api.Control("view"), "Right");
    EXPECT_EQ(api.Control("language"), "en");
    EXPECT_EQ(api.Control("language de"), "ok");
    EXPECT_EQ(api.Language(), "de");
    EXPECT_EQ(api.Control("language pt-BR"), "ok");
    const std::string curve = api.Control("add line 0 0 0 0 10 0");
    EXPECT_THROW(api.Control("spot " + curve + " Right"), ScriptError) << "no window to ask";
    FakePicker picker;
    api.SetPickProvider(&picker);
    EXPECT_EQ(api.Control("spot " + curve + " right"), "700 420");
    EXPECT_THROW(api.Control("spot " + curve + " Top"), ScriptError);
}

TEST_F(ScriptControlTest, GetScriptObjectFailsTheFirstKCalls) {
    EXPECT_FALSE(api.NextGetScriptObjectFails());
    api.Control("fault getscriptobject 2");
    EXPECT_TRUE(api.NextGetScriptObjectFails());
    EXPECT_TRUE(api.NextGetScriptObjectFails());
    EXPECT_FALSE(api.NextGetScriptObjectFails());
}

TEST_F(ScriptControlTest, MalformedControlLinesRaise) {
    static const char* const kLines[] = {
        "fly away",
        "pick",
        "fault raise IsPoint 0",
        "fault raise IsPoint x",
        "fault raise NoSuchOp 1",
        "fault exit IsPoint",
        "fault wrongtype IsPoint colour",
        "fault getscriptobject -1",
        "fault",
        "add triangle 0 0 0",
        "add point 1 2",
        "add line 0 0 0 0 0 0",
        "add point 1 2 3 id=not-an-id",
        "scene /nonexistent/scene.txt",
        "log everything",
        "windowhandle 12ab",
        "fault refuse Command 0",
        "view Side",
        "view Top Front",
        "language e",
        "language de-",
        "language 12",
        "spot",
        "spot 00000000-0000-4000-8000-000000000000 Right",
        "busy",
        "busy for 0",
        "busy calls 2 by-magic",
        "busy off now",
        "busy for 100 after",
        "fault drawnothing AddLine",
        "fault drawnothing Command 0",
        "command",
        "command begin",
        "command end now",
        "dialog open",
        "dialog open sometimes",
        "dialog close",
        "unknown",
        "unknown NoSuchOp",
        "interpcrv Degree=0",
        "interpcrv Degree=12",
        "interpcrv Knots=Cubic",
        "interpcrv PersistentClose=Maybe",
        "interpcrv Closed=Yes",
    };
    for (const char* line : kLines) {
        SCOPED_TRACE(line);
        EXPECT_THROW(api.Control(line), ScriptError);
    }
    EXPECT_EQ(api.Doc().Count(), 0u);
    EXPECT_EQ(api.Control("   # only a comment"), "ok");
}

TEST_F(ScriptControlTest, BusyLinesTurnCallsAwayByTheirMeansForATimeOrNCalls) {
    using Means = BusyPlan::Means;
    static const struct {
        const char* name;
        const char* line;
        Means means;
        std::uint64_t stepMs;          // the clock moves this much before each call
        std::vector<bool> turnedAway;  // per call, in order
    } kCases[] = {
        {"for a time, by the object", "busy for 250", Means::Object, 100, {true, true, false, false}},
        {"next N calls", "busy calls 2", Means::Object, 0, {true, true, false}},
        {"for a time once two calls went through",
         "busy for 150 after 2",
         Means::Object,
         100,
         {false, false, true, false}},
        {"by the filter, rejected", "busy calls 1 filter-rejected", Means::FilterRejected, 0, {true, false}},
        {"by the filter, retry later", "busy for 150 filter-retrylater", Means::FilterRetryLater, 100, {true, false}},
        {"off", "busy off", Means::Object, 0, {false}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ScriptApi host(3);
        std::uint64_t now = 1000;
        host.SetClock([&now] { return now; });
        EXPECT_EQ(host.Control(c.line), "ok");
        for (const bool away : c.turnedAway) {
            now += c.stepMs;
            // Another layer's means never turns a call away.
            const Means other = c.means == Means::Object ? Means::FilterRejected : Means::Object;
            EXPECT_FALSE(host.Busy().TurnsAway(now, other));
            EXPECT_EQ(host.Busy().TurnsAway(now, c.means), away);
        }
    }
    // The host's own modal box keeps the script object busy while it is open.
    api.Busy().SetModalOpen(true);
    EXPECT_TRUE(api.Busy().TurnsAway(0, Means::Object));
    api.Busy().SetModalOpen(false);
    EXPECT_FALSE(api.Busy().TurnsAway(0, Means::Object));
}

TEST_F(ScriptControlTest, DocumentTextListsObjectsSelectionAndRedraw) {
    api.Control("add point 1 2.5 -3 id=3f2504e0-4f89-41d3-9a0c-0305e82c3301");
    const std::string line = api.Control("add line 0 0 0 10 0 0 id={6A1B2C3D-0000-4000-8000-00000000AB01}");
    api.Control("add polyline 0 0 0 1 0 0 1 1 0 id=6A1B2C3D-0000-4000-8000-00000000AB02 selected");
    Call("SelectObject", {Value::String(line)});
    Call("EnableRedraw", {Value::Bool(false)});
    EXPECT_EQ(api.DocumentText(),
              "redraw off\n"
              "point 1 2.5 -3 id=3F2504E0-4F89-41D3-9A0C-0305E82C3301\n"
              "line 0 0 0 10 0 0 id=6A1B2C3D-0000-4000-8000-00000000AB01 selected\n"
              "polyline 0 0 0 1 0 0 1 1 0 id=6A1B2C3D-0000-4000-8000-00000000AB02 selected\n");
    EXPECT_EQ(api.Control("document"), api.DocumentText());
    EXPECT_THROW(api.Control("add point 0 0 0 id=3F2504E0-4F89-41D3-9A0C-0305E82C3301"), ScriptError);
}

TEST_F(ScriptControlTest, SceneFileLoadsAndDumpReadsBack) {
    const std::string path = ::testing::TempDir() + "hostsim_scene_test.txt";
    {
        std::ofstream file(path);
        file << "# XY curve and YZ curve around the Y axis\n"
                "curve -25 0 0 -20 10 0 -25 20 0   # XY\n"
                "\n"
                "curve 0 0 0 0 10 30 0 20 0 id=11111111-2222-4333-8444-555555555555\n"
                "point 0 10 0 selected\n"
                "layer Frozen locked hidden\n"
                "tolerance 0.001\n"
                "line 0 0 0 1 0 0 layer=Frozen\n"
                "point 5 5 5 locked\n"
                "point 6 6 6 hidden selected  # not selected: hidden\n"
                "redraw on\n";
    }
    EXPECT_EQ(api.Control("scene " + path), "ok");
    EXPECT_EQ(api.Doc().Count(), 6u);
    EXPECT_EQ(api.Doc().Tolerance(), 0.001);
    EXPECT_EQ(api.Doc().SelectedIds().size(), 1u);
    EXPECT_EQ(Call("IsCurve", {Value::String("11111111-2222-4333-8444-555555555555")}), Value::Bool(true));

    // The dump is itself a scene: loading it into a new host gives the same dump.
    const std::string dump = api.DocumentText();
    ScriptApi copy(99);
    {
        std::ofstream file(path);
        file << dump;
    }
    copy.Control("scene " + path);
    EXPECT_EQ(copy.DocumentText(), dump);
    EXPECT_NE(dump.find("tolerance 0.001\nlayer Frozen locked hidden\n"), std::string::npos);
    EXPECT_NE(dump.find(" layer=Frozen\n"), std::string::npos);
    EXPECT_NE(dump.find(" locked\n"), std::string::npos);
    EXPECT_NE(dump.find(" hidden\n"), std::string::npos);
    std::remove(path.c_str());
}

TEST_F(ScriptControlTest, FaultyScenesLeaveTheDocumentUnchanged) {
    const std::string path = ::testing::TempDir() + "hostsim_bad_scene.txt";
    {
        std::ofstream file(path);
        file << "point 1 2 3\nline 1 2 3\n";
    }
    try {
        api.Control("scene " + path);
        FAIL() << "no error raised";
    } catch (const ScriptError& error) {
        EXPECT_NE(error.Description().find("line 2"), std::string::npos) << error.Description();
    }
    EXPECT_EQ(api.Doc().Count(), 0u);
    std::remove(path.c_str());
}

TEST_F(ScriptControlTest, LogAndLastCommandLines) {
    Call("Command", {Value::String("-InterpCrv 1,2 3,4,5 Enter"), Value::Int16(0)});
    EXPECT_EQ(api.Control("lastcommand"), "1 2 0\n3 4 5\n");
    EXPECT_EQ(api.Control("log"), "Command(String \"-InterpCrv 1,2 3,4,5 Enter\", Int16 0)\n");
    api.Control("log clear");
    EXPECT_EQ(api.Control("log"), "");
    api.Control("windowhandle 65554");
    EXPECT_EQ(Call("WindowHandle"), Value::Int32(65554));
    api.Control("clear");
    EXPECT_EQ(Call("AllObjects"), Value::Null());
}

TEST_F(ScriptControlTest, GeneratedIdsAreRepeatablePerSeed) {
    ScriptApi first(5);
    ScriptApi second(5);
    EXPECT_EQ(first.Control("add point 0 0 0"), second.Control("add point 0 0 0"));
    EXPECT_NE(first.Control("add point 0 0 0"), api.Control("add point 0 0 0"));
}

}  // namespace
}  // namespace hostsim
