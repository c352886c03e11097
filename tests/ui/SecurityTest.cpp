// Host ids are data: whatever an id field, a list row or the host itself holds, it reaches the
// host only as a whole string argument, and the command line the tool runs in the host carries
// coordinates alone. Host answers are tested, not trusted: an answer of an unexpected type, for
// any operation of any command, is "nothing", never a crash, a stored id or a failure message.
// Bad input that carries no command (blanks, garbage, 100 KB ids) is BadInputTest's.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "FakeDispatcher.h"
#include "MemoryPanel.h"
#include "host/HostScript.h"
#include "hostsim/model/CommandParser.h"
#include "ui/EventRouter.h"

namespace {

using common::HostValue;
using common::PanelControl;
using testing_support::FakeDispatcher;
using testing_support::MemoryPanel;
using testing_support::RecordedCall;
using ui::PanelEvent;

// Ids that carry commands; the last two are real ids (a curve and a point of the host below)
// followed by commands: read up to a line break or a blank, they would name those objects.
const std::vector<std::string> kHostileIds = {
    "x Enter _Delete",  "x\n_SelAll\n_Delete\n",        "1,2,3 Enter _-Delete Enter",
    "\"; _Delete; \"",  "-InterpCrv 0,0,0 9,9,9 Enter", "C1\n_SelAll\n_Delete\n",
    "P1 Enter _Delete",
};

// The coordinates of a command text, or nothing when it holds anything but "-_InterpCrv ",
// numbers and "_Enter".
std::optional<std::vector<hostsim::Vec3>> CoordinatesOnly(const std::string& text) {
    if (text.rfind("-_InterpCrv ", 0) != 0) {
        return std::nullopt;
    }
    return hostsim::ParseInterpCrvCommand(text);
}

// Answers of every unexpected type. Each is given by one operation while every other operation
// answers as the host should, so that each command is driven past the faulty answer.
struct WrongAnswer {
    const char* name;
    HostValue value;
};

std::vector<WrongAnswer> WrongAnswers() {
    HostValue object;
    object.kind = HostValue::Kind::Object;
    HostValue other;
    other.kind = HostValue::Kind::Other;
    const HostValue row = HostValue::Array({HostValue::Int32(1), HostValue::Point(1, 2, 3)});
    return {
        {"Empty", HostValue::Empty()},
        {"Null", HostValue::Null()},
        {"Object", object},
        {"Other", other},
        {"number", HostValue::Double(1)},
        {"16-bit number", HostValue::Int16(-1)},
        {"Bool true", HostValue::Bool(true)},
        {"string True", HostValue::String("True")},
        {"empty string", HostValue::String("")},
        {"1-D array where a 2-D one is expected", row},
        {"array of 2 doubles", HostValue::Array({HostValue::Double(1), HostValue::Double(2)})},
        {"array of 3 strings",
         HostValue::Array({HostValue::String("1"), HostValue::String("2"), HostValue::String("3")})},
        {"empty array", HostValue::Array({})},
        {"array of Nulls", HostValue::Array({HostValue::Null(), HostValue::Null(), HostValue::Null()})},
        {"array of arrays of 2 doubles",
         HostValue::Array({HostValue::Array({HostValue::Double(1), HostValue::Double(2)})})},
        {"2-D array of 3 x 3 numbers",
         HostValue::Array({HostValue::Double(1), HostValue::Double(2), HostValue::Double(3), HostValue::Double(4),
                           HostValue::Double(5), HostValue::Double(6), HostValue::Double(7), HostValue::Double(8),
                           HostValue::Double(9)},
                          {{0, 3}, {0, 3}})},
        {"2-D array of one cell", HostValue::Array({HostValue::Point(1, 2, 3)}, {{0, 1}, {0, 1}})},
        {"2-D array with rows from 1",
         HostValue::Array({HostValue::Int32(1), HostValue::Point(1, 2, 3)}, {{1, 1}, {1, 2}})},
        {"point indexed from 1",
         HostValue::Array({HostValue::Double(1), HostValue::Double(2), HostValue::Double(3)}, {{1, 3}})},
        {"3-D array", HostValue::Array({HostValue::Double(1)}, {{0, 1}, {0, 1}, {0, 1}})},
    };
}

// The answers of a host whose document holds a line L1, curves C1 and a point P1 that the
// probes meet.
void AnswerAsTheHostShould(FakeDispatcher& host, int& probes) {
    const HostValue hit =
        HostValue::Array({HostValue::Int32(1), HostValue::Point(-20, 10, 0), HostValue::Point(-20, 10, 0),
                          HostValue::Point(-20, 10, 0), HostValue::Point(-20, 10, 0), HostValue::Double(0),
                          HostValue::Double(0), HostValue::Double(0), HostValue::Double(0)},
                         {{0, 1}, {0, 9}});
    host.Default("WindowHandle", HostValue::Int32(0x10010));
    host.Default("GetObject", HostValue::String("C1"));
    host.Default("GetObjects", HostValue::Array({HostValue::String("P1")}));
    host.Default("AllObjects", HostValue::Array({HostValue::String("L1"), HostValue::String("P1")}));
    host.Default("SelectedObjects", HostValue::Array({HostValue::String("L1")}));
    host.Answer("IsPoint", [](const std::vector<HostValue>& args) { return HostValue::Bool(args.at(0).text == "P1"); });
    for (const char* test : {"IsCurve", "IsCurvePlanar", "IsCurveInPlane"}) {
        host.Default(test, HostValue::Bool(true));
    }
    host.Default("PointCoordinates", HostValue::Point(0, 10, 0));
    host.Answer("AddLine", [&probes](const std::vector<HostValue>&) {
        return HostValue::String("probe-" + std::to_string(++probes));
    });
    host.Default("AddPoint", HostValue::String("P2"));
    host.Default("DivideCurve", HostValue::Array({HostValue::Point(0, 0, 0), HostValue::Point(0, 40, 0)}));
    host.Default("CurveCurveIntersection", hit);
    for (const char* done : {"DeleteObject", "SelectObject", "UnselectObject", "EnableRedraw", "Command"}) {
        host.Default(done, HostValue::Bool(true));
    }
    host.Default("UnselectAllObjects", HostValue::Int32(1));
    host.Default("InCommand", HostValue::Int32(0));
    host.Default("LastCreatedObjects", HostValue::Array({HostValue::String("K1")}));
}

// The panel filled in with that host's objects: line L1, curves C1 and C2, point P1 listed and selected.
void FillInTheHostsObjects(MemoryPanel& panel) {
    panel.SetFieldText(PanelControl::Text5, "L1");
    panel.SetFieldText(PanelControl::Text1, "C1");
    panel.SetFieldText(PanelControl::Text2, "C2");
    panel.ListAppend("P1");
    panel.selectedRow = 0;
}

// Each way a hostile id reaches the tool, with what the host must then receive: every command
// text coordinates only, DeleteObject only for the probe lines the host added, and the id whole
// in every call that carries it.
TEST(SecurityTest, HostileIdsReachTheHostOnlyAsData) {
    using Events = std::vector<std::pair<PanelControl, PanelEvent>>;
    const Events generate{{PanelControl::Command4, PanelEvent::Click}};
    static const struct {
        const char* name;
        std::function<void(FakeDispatcher&, MemoryPanel&, const std::string&)> place;
        Events events;
        int commands;    // curves drawn: one per listed point
        int wholeCalls;  // host calls that carry the id
    } kRoutes[] = {
        {"listed beside a point",
         [](FakeDispatcher&, MemoryPanel& panel, const std::string& id) { panel.ListAppend(id); }, generate, 1, 2},
        {"typed as the line of Create",
         [](FakeDispatcher&, MemoryPanel& panel, const std::string& id) {
             panel.SetFieldText(PanelControl::Text5, id);
         },
         {{PanelControl::Command2, PanelEvent::Click}},
         0,
         2},
        {"typed as the XY curve",
         [](FakeDispatcher&, MemoryPanel& panel, const std::string& id) {
             panel.SetFieldText(PanelControl::Text1, id);
         },
         generate, 1, 1},
        {"typed as the YZ curve",
         [](FakeDispatcher&, MemoryPanel& panel, const std::string& id) {
             panel.SetFieldText(PanelControl::Text2, id);
         },
         generate, 1, 1},
        {"pressed in the line field",
         [](FakeDispatcher&, MemoryPanel& panel, const std::string& id) {
             panel.SetFieldText(PanelControl::Text5, id);
         },
         {{PanelControl::Text5, PanelEvent::MouseDown}, {PanelControl::Text5, PanelEvent::MouseUp}},
         0,
         2},
        {"pressed in the list",
         [](FakeDispatcher&, MemoryPanel& panel, const std::string& id) {
             panel.ListClear();
             panel.ListAppend(id);
             panel.selectedRow = 0;
         },
         {{PanelControl::List1, PanelEvent::MouseDown}, {PanelControl::List1, PanelEvent::MouseUp}},
         0,
         2},
        {"picked by the host as a point, then generated",
         [](FakeDispatcher& host, MemoryPanel&, const std::string& id) {
             host.Default("GetObjects", HostValue::Array({HostValue::String(id)}));
             host.Answer("IsPoint", [](const std::vector<HostValue>&) { return HostValue::Bool(true); });
         },
         {{PanelControl::Command8, PanelEvent::Click}, {PanelControl::Command4, PanelEvent::Click}},
         2,
         4},
        {"picked by the host as the YZ curve, then generated",
         [](FakeDispatcher& host, MemoryPanel&, const std::string& id) {
             host.Default("GetObject", HostValue::String(id));
         },
         {{PanelControl::Command7, PanelEvent::Click}, {PanelControl::Command4, PanelEvent::Click}},
         1,
         2},
        {"answered by the host as a probe line's id",
         [](FakeDispatcher& host, MemoryPanel&, const std::string& id) {
             host.Answer("AddLine", [id](const std::vector<HostValue>&) { return HostValue::String(id); });
         },
         generate, 1, 4},
    };
    for (const auto& route : kRoutes) {
        for (const std::string& id : kHostileIds) {
            SCOPED_TRACE(std::string(route.name) + ": " + id);
            FakeDispatcher host;
            int probes = 0;
            AnswerAsTheHostShould(host, probes);
            MemoryPanel panel;
            FillInTheHostsObjects(panel);
            route.place(host, panel, id);
            host::HostScript script(&host);
            ui::EventRouter router(script, panel, [] {});
            for (const auto& [control, event] : route.events) {
                router.OnPanelEvent(control, event);
            }

            int commands = 0;
            int wholeCalls = 0;
            for (const RecordedCall& call : host.calls) {
                if (call.name == "Command") {
                    ++commands;
                    ASSERT_EQ(call.args.size(), 2u);
                    EXPECT_EQ(call.args[1], HostValue::Int32(0));
                    EXPECT_TRUE(CoordinatesOnly(call.args[0].text).has_value()) << call.args[0].text.substr(0, 200);
                    continue;
                }
                if (call.name == "DeleteObject") {
                    const std::string& deleted = call.args.at(0).text;
                    EXPECT_TRUE(deleted.rfind("probe-", 0) == 0 || (deleted == id && probes == 0)) << deleted;
                }
                bool carriesId = false;
                for (const HostValue& arg : call.args) {
                    carriesId = carriesId || (arg.kind == HostValue::Kind::String && arg.text == id);
                }
                wholeCalls += carriesId ? 1 : 0;
            }
            EXPECT_EQ(commands, route.commands);
            EXPECT_EQ(wholeCalls, route.wholeCalls);
            // What the tool shows of the id is the id itself.
            for (const std::string& row : panel.rows) {
                EXPECT_TRUE(row == "P1" || row == id) << row;
            }
        }
    }
}

TEST(SecurityTest, AnswersOfUnexpectedTypesAreNothing) {
    static const struct {
        const char* name;
        PanelControl control;
        PanelEvent event;
    } kEvents[] = {
        {"SelAllPts", PanelControl::Command1, PanelEvent::Click},
        {"Create", PanelControl::Command2, PanelEvent::Click},
        {"Generate", PanelControl::Command4, PanelEvent::Click},
        {"Pick Line", PanelControl::Command5, PanelEvent::Click},
        {"Pick XY curve", PanelControl::Command6, PanelEvent::Click},
        {"Pick YZ curve", PanelControl::Command7, PanelEvent::Click},
        {"Pick Points", PanelControl::Command8, PanelEvent::Click},
        {"Text5 press", PanelControl::Text5, PanelEvent::MouseDown},
        {"Text1 release", PanelControl::Text1, PanelEvent::MouseUp},
        {"List1 press", PanelControl::List1, PanelEvent::MouseDown},
    };
    // The messages a command may show when an answer is "nothing"; any other message (a failure
    // report in particular) means an unexpected answer was not handled as nothing.
    const std::vector<std::string> expectedMessages = {
        "No intersection found, make sure curve and points are cooplanar in XY and YZ",
        "Rhino did not draw the curve of point P1.",
        "Selected curve is not in the XY plane",
        "Selected curve is not in the YZ plane",
        "Could not divide the line into 10 points. Type 2 or more points beside \"Create\" and pick a line that "
        "Rhino can divide.",
        "Rhino did not select the picked line, so nothing was divided. The line may be locked, hidden, on a locked or "
        "hidden layer, or deleted: unlock or show it in Rhino, or pick a line again.",
        "Rhino is running a command. Finish it or press Esc in Rhino, then try again.",
    };
    const std::vector<WrongAnswer> wrongAnswers = WrongAnswers();
    for (const std::string operation : host::HostScript::OperationNames()) {
        for (const WrongAnswer& wrong : wrongAnswers) {
            for (const auto& e : kEvents) {
                SCOPED_TRACE(operation + " answers " + wrong.name + ", " + e.name);
                FakeDispatcher host;
                int probes = 0;
                AnswerAsTheHostShould(host, probes);
                host.Answer(operation, [&wrong](const std::vector<HostValue>&) { return wrong.value; });
                host::HostScript script(&host);
                MemoryPanel panel;
                FillInTheHostsObjects(panel);
                ui::EventRouter router(script, panel, [] {});

                router.OnPanelEvent(e.control, e.event);

                for (const std::string& message : panel.messages) {
                    EXPECT_NE(std::find(expectedMessages.begin(), expectedMessages.end(), message),
                              expectedMessages.end())
                        << message;
                }
                // Only ids the host gave as strings are stored (L1 when IsPoint answers a true Bool).
                const bool wrongIsText = wrong.value.kind == HostValue::Kind::String;
                for (const std::string& row : panel.rows) {
                    EXPECT_TRUE(row == "P1" || row == "L1" || (wrongIsText && row == wrong.value.text)) << row;
                }
                for (const PanelControl field : {PanelControl::Text5, PanelControl::Text1, PanelControl::Text2}) {
                    const std::string text = panel.FieldText(field);
                    EXPECT_TRUE(text == "L1" || text == "C1" || text == "C2" ||
                                (wrongIsText && text == wrong.value.text))
                        << text;
                }
                // Redraw is never left off, and every probe line the host added is deleted.
                std::optional<bool> redraw;
                std::vector<std::string> deleted;
                for (const RecordedCall& call : host.calls) {
                    if (call.name == "EnableRedraw") {
                        redraw = call.args.at(0).boolean;
                    } else if (call.name == "DeleteObject") {
                        deleted.push_back(call.args.at(0).text);
                    } else if (call.name == "Command") {
                        EXPECT_TRUE(CoordinatesOnly(call.args.at(0).text).has_value());
                    }
                }
                EXPECT_NE(redraw, std::optional<bool>(false));
                if (operation != "AddLine") {
                    for (int i = 1; i <= probes; ++i) {
                        EXPECT_NE(std::find(deleted.begin(), deleted.end(), "probe-" + std::to_string(i)),
                                  deleted.end());
                    }
                }
            }
        }
    }
}

}  // namespace
