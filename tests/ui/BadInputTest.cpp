// Bad input typed or pasted into the panel, run through the event router against the in-process
// simulated host, so that the document state is real. Each row says what the user sees (status
// caption, information box messages) and what the host receives; after every row nothing is left
// behind: no probe line (object count), redraw on, nothing selected (the line included).
// The same table, in words, is docs/bad-inputs.md.
#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "FakeDispatcher.h"
#include "HostsimDispatcher.h"
#include "MemoryPanel.h"
#include "hostsim/model/CommandParser.h"
#include "hostsim/model/Curve.h"
#include "hostsim/model/Document.h"
#include "hostsim/model/ScriptApi.h"
#include "ui/EventRouter.h"

namespace {

using common::HostValue;
using common::PanelControl;
using testing_support::MemoryPanel;
using testing_support::RecordedCall;
using ui::PanelEvent;

constexpr char kDone[] = "Curtate cycloid - DONE!";
constexpr char kFirstEntry[] = "Calculating Curtate cycloid... 1";
constexpr char kStepZero[] =
    "The step must be a number of degrees other than 0, for example 5. "
    "An empty step, or one that does not start with a number, reads as 0.";
constexpr char kStepTooSmall[] =
    "The step is too small: one curve would need more than 1,000,000 points. Type a larger step, for example 5.";
constexpr char kNoIntersection[] = "No intersection found, make sure curve and points are cooplanar in XY and YZ";

std::string DivisionFailed(const std::string& count) {
    return "Could not divide the line into " + count +
           " points. Type 2 or more points beside \"Create\" and pick a line that Rhino can divide.";
}

// Records every call with its arguments exactly as the tool passed them (a command text of
// megabytes included), then hands it to the simulated host.
class RecordingDispatcher : public host::Dispatcher {
public:
    explicit RecordingDispatcher(host::Dispatcher& inner) : inner_(inner) {}
    HostValue Call(const std::string& name, const std::vector<HostValue>& args) override {
        calls.push_back({name, args});
        return inner_.Call(name, args);
    }
    void Put(const std::string& name, const HostValue& value) override { inner_.Put(name, value); }
    std::unique_ptr<host::Dispatcher> CallForObject(const std::string& name) override {
        return inner_.CallForObject(name);
    }

    std::size_t CountOf(const std::string& name) const {
        std::size_t count = 0;
        for (const RecordedCall& call : calls) {
            count += call.name == name ? 1 : 0;
        }
        return count;
    }
    // The text argument of every Command call, in order.
    std::vector<std::string> CommandTexts() const {
        std::vector<std::string> texts;
        for (const RecordedCall& call : calls) {
            if (call.name == "Command" && !call.args.empty()) {
                texts.push_back(call.args.front().text);
            }
        }
        return texts;
    }

    std::vector<RecordedCall> calls;

private:
    host::Dispatcher& inner_;
};

// A document with a line along Y (for "Create"), an XY curve at x = -20, a YZ curve at z = 30
// and one point at (0, 10, 0), with the panel filled in for both commands.
struct Session {
    Session() {
        line = doc.AddCurve(*hostsim::Curve::MakeLine({0, 0, 0}, {0, 40, 0}));
        xy = doc.AddCurve(*hostsim::Curve::MakeLine({-20, -100, 0}, {-20, 100, 0}));
        yz = doc.AddCurve(*hostsim::Curve::MakeLine({0, -100, 30}, {0, 100, 30}));
        point = doc.AddPoint({0, 10, 0});
        panel.SetFieldText(PanelControl::Text5, line);
        panel.SetFieldText(PanelControl::Text1, xy);
        panel.SetFieldText(PanelControl::Text2, yz);
        panel.ListAppend(point);
        panel.selectedRow = 0;
        objectsBefore = doc.Count();
    }

    void Click(PanelControl control) { router.OnPanelEvent(control, PanelEvent::Click); }

    // Nothing is left behind whatever the row did: the expected number of new objects (no
    // probe line among them), redraw on, nothing selected. A generation run that ends with a
    // message ends at once, before its final unselect, so the entry it stopped at stays
    // selected (stoppedAtPoint).
    void ExpectNothingLeftBehind(std::size_t newObjects, bool stoppedAtPoint = false) const {
        EXPECT_EQ(doc.Count(), objectsBefore + newObjects) << api.DocumentText();
        EXPECT_TRUE(doc.RedrawEnabled());
        EXPECT_EQ(doc.SelectedIds(), stoppedAtPoint ? std::vector<std::string>{point} : std::vector<std::string>{});
    }

    hostsim::ScriptApi api;
    hostsim::Document& doc = api.Doc();
    testing_support::HostsimDispatcher simulated{api};
    RecordingDispatcher host{simulated};
    host::HostScript script{&host};
    MemoryPanel panel;
    ui::EventRouter router{script, panel, [] {}};
    std::string line, xy, yz, point;
    std::size_t objectsBefore = 0;
};

std::string LongText() {
    return std::string(100 * 1024, 'A');
}

// Text3, the step of "Generate Curtate Cycloid" (both sides checked, one listed point).
TEST(BadInputTest, StepField) {
    static const struct {
        const char* name;
        std::string step;
        const char* caption;   // the status caption at the end
        const char* message;   // the one message shown, or nullptr for none
        std::optional<std::size_t> commandPoints;  // points in the command sent, nothing: no command
        std::size_t curves;    // curves the host drew
    } kCases[] = {
        {"empty", "", kFirstEntry, kStepZero, std::nullopt, 0},
        {"blank", "   ", kFirstEntry, kStepZero, std::nullopt, 0},
        {"letters", "abc", kFirstEntry, kStepZero, std::nullopt, 0},
        {"zero", "0", kFirstEntry, kStepZero, std::nullopt, 0},
        {"negative zero", "-0", kFirstEntry, kStepZero, std::nullopt, 0},
        {"beyond the double range", "1e999", kFirstEntry, kStepZero, std::nullopt, 0},
        {"beyond the range, negative", "-1e999", kFirstEntry, kStepZero, std::nullopt, 0},
        {"tiny", "1e-300", kFirstEntry, kStepTooSmall, std::nullopt, 0},
        {"too small by a little", "0.0001", kFirstEntry, kStepTooSmall, std::nullopt, 0},
        {"smallest step of 5 digits", "0.01", kDone, nullptr, 36001, 1},
        {"hexadecimal 65535: one sample, no curve", "&HFFFF", kDone, nullptr, 1, 0},
        {"octal 15", "&O17", kDone, nullptr, 25, 1},
        {"huge", "1e300", kDone, nullptr, 1, 0},
        {"negative: no sample", "-5", kDone, nullptr, 0, 0},
        {"tab and line feed inside", "1\t2\n.5", kDone, nullptr, 29, 1},
        {"letters after the number", "5 degrees", kDone, nullptr, 73, 1},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Session s;
        s.panel.SetFieldText(PanelControl::Text3, c.step);
        s.Click(PanelControl::Command4);

        EXPECT_EQ(s.panel.statusCaption, c.caption);
        EXPECT_EQ(s.panel.messages, c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        const std::vector<std::string> commands = s.host.CommandTexts();
        ASSERT_EQ(commands.size(), c.commandPoints ? 1u : 0u);
        if (c.commandPoints) {
            const auto points = hostsim::ParseInterpCrvCommand(commands.front());
            ASSERT_TRUE(points.has_value());
            EXPECT_EQ(points->size(), *c.commandPoints);
        }
        // Both probe lines were added and deleted again in every row.
        EXPECT_EQ(s.host.CountOf("AddLine"), 2u);
        EXPECT_EQ(s.host.CountOf("DeleteObject"), 2u);
        s.ExpectNothingLeftBehind(c.curves, c.message != nullptr);
    }
}

// Text4, the number of points of "Create" on the 40-unit line.
TEST(BadInputTest, PointCountField) {
    static const struct {
        const char* name;
        std::string count;
        std::optional<double> segmentsPassed;  // DivideCurve's segments argument
        std::size_t pointsAdded;
        const char* message;  // nullptr: none
    } kCases[] = {
        {"empty", "", -1, 0, "0"},
        {"blank", "  ", -1, 0, "0"},
        {"letters", "ten", -1, 0, "0"},
        {"zero", "0", -1, 0, "0"},
        {"negative zero", "-0", -1, 0, "0"},
        {"one point", "1", 0, 0, "1"},
        {"beyond the double range", "1e999", -1, 0, "0"},
        {"beyond the range, negative", "-1e999", -1, 0, "0"},
        {"tiny", "1e-300", -1, 0, "1e-300"},
        {"huge", "1e300", 1e300, 0, "1e+300"},
        {"more segments than the host divides into", "5000000", 4999999, 0, "5000000"},
        {"octal 15", "&O17", 14, 15, nullptr},
        {"hexadecimal 65535", "&HFFFF", 65534, 65535, nullptr},
        {"fraction: the host rounds 1.5 segments to 2", "2.5", 1.5, 3, nullptr},
        {"tab and line feed inside", "1\t0\n", 9, 10, nullptr},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Session s;
        s.panel.SetFieldText(PanelControl::Text4, c.count);
        s.Click(PanelControl::Command2);

        EXPECT_FALSE(s.panel.statusVisible);
        EXPECT_EQ(s.panel.messages,
                  c.message ? std::vector<std::string>{DivisionFailed(c.message)} : std::vector<std::string>{});
        ASSERT_EQ(s.host.CountOf("DivideCurve"), 1u);
        const RecordedCall* divide = nullptr;
        for (const RecordedCall& call : s.host.calls) {
            divide = call.name == "DivideCurve" ? &call : divide;
        }
        EXPECT_EQ(divide->args.at(1), HostValue::Double(*c.segmentsPassed));
        EXPECT_EQ(s.host.CountOf("AddPoint"), c.pointsAdded);
        EXPECT_EQ(s.host.CountOf("UnselectObject"), 1u);
        s.ExpectNothingLeftBehind(c.pointsAdded);
    }
}

// Ids typed into Text5: "Create" passes the id on as data and divides only what the host selected.
TEST(BadInputTest, LineIdField) {
    static const struct {
        const char* name;
        std::string id;  // "<line>" stands for the line's id, "<gone>" for a deleted object's
        std::size_t pointsAdded;
    } kCases[] = {
        {"empty", "", 0},
        {"blank only", "     ", 0},
        {"padded with blanks", "  <line>  ", 10},
        {"garbage", "not an id", 0},
        {"a deleted object's id", "<gone>", 0},
        {"very long (100 KB)", LongText(), 0},
        {"command words", "x Enter _Delete", 0},
        {"line feeds", "<line>\n_SelAll\n_Delete\n", 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Session s;
        std::string id = c.id;
        if (id.find("<line>") != std::string::npos) {
            id.replace(id.find("<line>"), 6, s.line);
        }
        if (id == "<gone>") {
            id = s.doc.AddCurve(*hostsim::Curve::MakeLine({0, 0, 0}, {1, 0, 0}));
            s.doc.Delete(id);
        }
        s.panel.SetFieldText(PanelControl::Text5, id);
        s.Click(PanelControl::Command2);

        EXPECT_EQ(s.panel.messages, std::vector<std::string>{});
        EXPECT_EQ(s.host.CountOf("SelectObject"), 1u);
        EXPECT_EQ(s.host.CountOf("UnselectObject"), 1u);
        EXPECT_EQ(s.host.CountOf("DivideCurve"), c.pointsAdded > 0 ? 1u : 0u);
        EXPECT_EQ(s.host.CountOf("AddPoint"), c.pointsAdded);
        EXPECT_EQ(s.host.CountOf("Command"), 0u);
        s.ExpectNothingLeftBehind(c.pointsAdded);
    }
}

// Ids typed into Text1 and Text2: the run probes, finds no intersection with a curve that is
// not there, says so, and deletes its probes.
TEST(BadInputTest, CurveIdFields) {
    static const struct {
        const char* name;
        std::string id;  // "<curve>" stands for the field's own curve
        const char* caption;
        const char* message;  // nullptr: none
        std::size_t curves;
    } kCases[] = {
        {"empty: nothing to do", "", kDone, nullptr, 0},
        {"blank only: probed against no curve", "   ", kFirstEntry, kNoIntersection, 0},
        {"padded with blanks", "   <curve> ", kDone, nullptr, 1},
        {"garbage", "no such curve", kFirstEntry, kNoIntersection, 0},
        {"a deleted object's id", "<gone>", kFirstEntry, kNoIntersection, 0},
        {"the point's id", "<point>", kFirstEntry, kNoIntersection, 0},
        {"very long (100 KB)", LongText(), kFirstEntry, kNoIntersection, 0},
        {"command words", "x Enter _Delete", kFirstEntry, kNoIntersection, 0},
    };
    for (const PanelControl field : {PanelControl::Text1, PanelControl::Text2}) {
        for (const auto& c : kCases) {
            SCOPED_TRACE(std::string(field == PanelControl::Text1 ? "Text1: " : "Text2: ") + c.name);
            Session s;
            std::string id = c.id;
            if (id.find("<curve>") != std::string::npos) {
                id.replace(id.find("<curve>"), 7, field == PanelControl::Text1 ? s.xy : s.yz);
            } else if (id == "<point>") {
                id = s.point;
            } else if (id == "<gone>") {
                id = s.doc.AddCurve(*hostsim::Curve::MakeLine({0, 0, 0}, {1, 0, 0}));
                s.doc.Delete(id);
            }
            s.panel.SetFieldText(field, id);
            s.Click(PanelControl::Command4);

            EXPECT_EQ(s.panel.statusCaption, c.caption);
            EXPECT_EQ(s.panel.messages,
                      c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
            EXPECT_EQ(s.host.CountOf("Command"), c.curves);
            EXPECT_EQ(s.host.CountOf("AddLine"), s.host.CountOf("DeleteObject"));
            s.ExpectNothingLeftBehind(c.curves, c.message != nullptr);
        }
    }
}

// A list of entries that are no points: each is selected, asked about and skipped without a
// word; no probe, no command, and the final unselect leaves nothing selected.
TEST(BadInputTest, ListFullOfNonPoints) {
    Session s;
    const std::string gone = s.doc.AddPoint({5, 5, 0});
    s.doc.Delete(gone);
    s.panel.ListClear();
    const std::vector<std::string> rows = {s.line, s.xy, s.yz, "", "   ", "garbage", gone, LongText(),
                                           "x Enter _Delete", "a\nb\tc"};
    for (const std::string& row : rows) {
        s.panel.ListAppend(row);
    }
    s.Click(PanelControl::Command4);

    EXPECT_EQ(s.panel.statusCaption, kDone);
    EXPECT_EQ(s.panel.messages, std::vector<std::string>{});
    EXPECT_EQ(s.host.CountOf("IsPoint"), rows.size());
    EXPECT_EQ(s.host.CountOf("SelectObject"), rows.size());
    EXPECT_EQ(s.host.CountOf("PointCoordinates"), 0u);
    EXPECT_EQ(s.host.CountOf("AddLine"), 0u);
    EXPECT_EQ(s.host.CountOf("Command"), 0u);
    s.ExpectNothingLeftBehind(0);
}

// Press-to-highlight on fields holding bad ids: the id goes to the host as data, nothing is
// shown, and the release unselects whatever the press selected.
TEST(BadInputTest, HighlightOfBadIds) {
    static const struct {
        const char* name;
        std::string text;
        std::size_t hostCalls;  // SelectObject + UnselectObject
    } kCases[] = {
        {"empty: no host call", "", 0},
        {"blank only: the empty id is passed on", "   ", 2},
        {"garbage", "garbage", 2},
        {"very long (100 KB)", LongText(), 2},
        {"line feeds", "a\n_Delete\n", 2},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Session s;
        for (const PanelControl control : {PanelControl::Text5, PanelControl::Text1, PanelControl::Text2}) {
            const PanelControl field = control == PanelControl::Text5   ? PanelControl::Text5
                                     : control == PanelControl::Text1 ? PanelControl::Text1
                                                                      : PanelControl::Text2;
            s.panel.SetFieldText(field, c.text);
            s.router.OnPanelEvent(control, PanelEvent::MouseDown);
            s.router.OnPanelEvent(control, PanelEvent::MouseUp);
        }
        EXPECT_EQ(s.host.calls.size(), 3 * c.hostCalls);
        EXPECT_EQ(s.panel.messages, std::vector<std::string>{});
        s.ExpectNothingLeftBehind(0);
    }
}

// "SelAllPts" on documents beyond the 16-bit range: every point is listed once and counted.
TEST(BadInputTest, SelAllPtsOnLargeDocuments) {
    for (const std::size_t points : {std::size_t{32767}, std::size_t{40000}}) {
        SCOPED_TRACE(points);
        Session s;
        s.panel.ListClear();
        for (std::size_t i = 0; i < points - 1; ++i) {
            s.doc.AddPoint({static_cast<double>(i), 0, 0});
        }
        // The time is recorded in the test report for a look, not asserted.
        const auto start = std::chrono::steady_clock::now();
        s.Click(PanelControl::Command1);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        RecordProperty("SelAllPts_" + std::to_string(points) + "_milliseconds",
                       static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()));

        EXPECT_EQ(s.panel.statusCaption, std::to_string(points) + " points added!");
        EXPECT_EQ(s.panel.rows.size(), points);
        EXPECT_EQ(s.host.CountOf("IsPoint"), points + 3);  // the three curves are asked too
        EXPECT_EQ(s.panel.messages, std::vector<std::string>{});

        // A second click lists nothing twice but counts every point again.
        s.Click(PanelControl::Command1);
        EXPECT_EQ(s.panel.statusCaption, std::to_string(points) + " points added!");
        EXPECT_EQ(s.panel.rows.size(), points);
        s.ExpectNothingLeftBehind(points - 1);
    }
}

}  // namespace
