// Bad input typed or pasted into the panel, run through the event router against the in-process
// simulated host, so that the document state is real. Each row says what the user sees (status
// caption, information box messages) and what the host receives; after every row nothing is left
// behind: no probe line (object count), redraw on, nothing selected (the line included).
// The same table, in words, is docs/bad-inputs.md. Ids that carry command words are data, not
// bad input: SecurityTest holds them.
#include <gtest/gtest.h>

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
// Fewer than two distinct samples: the host draws no curve and says the command failed.
constexpr char kNotDrawn[] = "Rhino did not draw the curve of point <point>. The command failed.";
constexpr char kStepZero[] =
    "The step must be a number of degrees other than 0, for example 5. "
    "An empty step, or one that does not start with a number, reads as 0.";
constexpr char kStepTooSmall[] =
    "The step is too small: one curve would need more than 1,000,000 points. Type a larger step, for example 5.";
constexpr char kNoIntersection[] = "No intersection found, make sure curve and points are cooplanar in XY and YZ";
constexpr char kLineNotSelected[] =
    "Rhino did not select the picked line, so nothing was divided. The line may be locked, hidden, on a locked or "
    "hidden layer, or deleted: unlock or show it in Rhino, or pick a line again.";

constexpr char kNoLinePicked[] = "No line is picked. Click Pick Line and pick the line in Rhino first.";

std::string DivisionFailed(const std::string& count) {
    return "Could not divide the line into " + count + (count == "1" ? " point" : " points") +
           ". Type 2 or more points beside \"Create\" and pick a line that Rhino can divide.";
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

enum class Action { Generate, Create, Press };

// One bad input. `text` is typed into each of `fields` in turn, a fresh document each time, and
// may name objects: "<own>" the field's own object (the line for Text5, the XY or YZ curve for
// Text1 or Text2), "<point>" the listed point, "<gone>" a deleted object. `list`, when given,
// replaces the listed point.
struct BadInput {
    const char* name;
    std::vector<PanelControl> fields;
    std::string text;
    Action action;
    std::string message;  // the one message shown, empty for none
    const char* caption;  // Generate: the status caption at the end
    // What the host receives: Generate, the points of the one command (nothing: no command);
    // Create, DivideCurve's segments (nothing: not called); Press, the host calls of a press
    // and release.
    std::optional<double> sent;
    std::size_t added;  // objects the host keeps: curves drawn or points added
    std::vector<std::string> list = {};
};

std::vector<BadInput> BadInputs() {
    const std::string longText(100 * 1024, 'A');
    const std::vector<PanelControl> step{PanelControl::Text3};
    const std::vector<PanelControl> count{PanelControl::Text4};
    const std::vector<PanelControl> line{PanelControl::Text5};
    const std::vector<PanelControl> curves{PanelControl::Text1, PanelControl::Text2};
    const std::vector<PanelControl> ids{PanelControl::Text5, PanelControl::Text1, PanelControl::Text2};
    const Action generate = Action::Generate;
    const Action create = Action::Create;
    const std::nullopt_t none = std::nullopt;
    const std::string zero = DivisionFailed("0");
    return {
        // Text3, the step of "Generate Curtate Cycloid" (both sides checked, one listed point).
        {"step empty", step, "", generate, kStepZero, kFirstEntry, none, 0},
        {"step blank", step, "   ", generate, kStepZero, kFirstEntry, none, 0},
        {"step letters", step, "abc", generate, kStepZero, kFirstEntry, none, 0},
        {"step zero", step, "0", generate, kStepZero, kFirstEntry, none, 0},
        {"step negative zero", step, "-0", generate, kStepZero, kFirstEntry, none, 0},
        {"step beyond the double range", step, "1e999", generate, kStepZero, kFirstEntry, none, 0},
        {"step beyond the range, negative", step, "-1e999", generate, kStepZero, kFirstEntry, none, 0},
        {"step tiny", step, "1e-300", generate, kStepTooSmall, kFirstEntry, none, 0},
        {"step too small by a little", step, "0.0001", generate, kStepTooSmall, kFirstEntry, none, 0},
        {"smallest step of 5 digits", step, "0.01", generate, "", kDone, 36001, 1},
        {"step hexadecimal 65535: one sample, no curve", step, "&HFFFF", generate, kNotDrawn, kFirstEntry, 1, 0},
        {"step octal 15", step, "&O17", generate, "", kDone, 25, 1},
        {"step huge", step, "1e300", generate, kNotDrawn, kFirstEntry, 1, 0},
        {"step negative: no sample", step, "-5", generate, kNotDrawn, kFirstEntry, 0, 0},
        {"step with tab and line feed inside", step, "1\t2\n.5", generate, "", kDone, 29, 1},
        {"step with letters after the number", step, "5 degrees", generate, "", kDone, 73, 1},

        // Text4, the number of points of "Create" on the 40-unit line.
        {"count empty", count, "", create, zero, nullptr, -1, 0},
        {"count blank", count, "  ", create, zero, nullptr, -1, 0},
        {"count letters", count, "ten", create, zero, nullptr, -1, 0},
        {"count zero", count, "0", create, zero, nullptr, -1, 0},
        {"count negative zero", count, "-0", create, zero, nullptr, -1, 0},
        {"count beyond the double range", count, "1e999", create, zero, nullptr, -1, 0},
        {"count beyond the range, negative", count, "-1e999", create, zero, nullptr, -1, 0},
        {"count one point", count, "1", create, DivisionFailed("1"), nullptr, 0, 0},
        {"count tiny", count, "1e-300", create, DivisionFailed("1e-300"), nullptr, -1, 0},
        {"count huge", count, "1e300", create, DivisionFailed("1e+300"), nullptr, 1e300, 0},
        {"more segments than the host divides into", count, "5000000", create, DivisionFailed("5000000"), nullptr,
         4999999, 0},
        {"count octal 15", count, "&O17", create, "", nullptr, 14, 15},
        {"count hexadecimal 65535", count, "&HFFFF", create, "", nullptr, 65534, 65535},
        {"count 2.5: the host rounds 1.5 segments to 2", count, "2.5", create, "", nullptr, 1.5, 3},
        {"count with tab and line feed inside", count, "1\t0\n", create, "", nullptr, 9, 10},

        // Ids typed into Text5: "Create" passes the id on as data and divides only the line the host selected.
        {"line id empty", line, "", create, kNoLinePicked, nullptr, none, 0},
        {"line id blank only", line, "     ", create, kNoLinePicked, nullptr, none, 0},
        {"line id padded with blanks", line, "  <own>  ", create, "", nullptr, 9, 10},
        {"line id garbage", line, "not an id", create, kLineNotSelected, nullptr, none, 0},
        {"line id of a deleted object", line, "<gone>", create, kLineNotSelected, nullptr, none, 0},
        {"line id very long (100 KB)", line, longText, create, kLineNotSelected, nullptr, none, 0},

        // Ids typed into Text1 and Text2: the run probes, meets no curve that is not there, says
        // so, and deletes its probes.
        {"curve id empty: nothing to do", curves, "", generate, "", kDone, none, 0},
        {"curve id blank only: probed against no curve", curves, "   ", generate, kNoIntersection, kFirstEntry, none,
         0},
        {"curve id padded with blanks", curves, "   <own> ", generate, "", kDone, 73, 1},
        {"curve id garbage", curves, "no such curve", generate, kNoIntersection, kFirstEntry, none, 0},
        {"curve id of a deleted object", curves, "<gone>", generate, kNoIntersection, kFirstEntry, none, 0},
        {"curve id of the point", curves, "<point>", generate, kNoIntersection, kFirstEntry, none, 0},
        {"curve id very long (100 KB)", curves, longText, generate, kNoIntersection, kFirstEntry, none, 0},

        // A list of entries that are no points: each is selected, asked about and skipped without
        // a word; no probe, no command, and the final unselect leaves nothing selected.
        {"list full of non-points",
         {},
         "",
         generate,
         "",
         kDone,
         none,
         0,
         {"<line>", "<xy>", "<yz>", "", "   ", "garbage", "<gone>", longText}},

        // Press-to-highlight on the id fields: the id goes to the host as data, nothing is shown,
        // and the release unselects whatever the press selected.
        {"highlight of an empty field: no host call", ids, "", Action::Press, "", nullptr, 0, 0},
        {"highlight of blanks: the empty id is passed on", ids, "   ", Action::Press, "", nullptr, 2, 0},
        {"highlight of garbage", ids, "garbage", Action::Press, "", nullptr, 2, 0},
        {"highlight of a very long id (100 KB)", ids, longText, Action::Press, "", nullptr, 2, 0},
    };
}

TEST(BadInputTest, EachBadInputIsRefusedOrReadAndLeavesNothingBehind) {
    for (const BadInput& c : BadInputs()) {
        const std::vector<std::optional<PanelControl>> fields =
            c.fields.empty() ? std::vector<std::optional<PanelControl>>{std::nullopt}
                             : std::vector<std::optional<PanelControl>>(c.fields.begin(), c.fields.end());
        for (const std::optional<PanelControl> field : fields) {
            SCOPED_TRACE(std::string(c.name) + (field ? ", field Text" + std::to_string(int(*field) + 1) : ""));
            Session s;
            const std::string own = field == PanelControl::Text5 ? s.line : field == PanelControl::Text1 ? s.xy : s.yz;
            const std::string gone = s.doc.AddCurve(*hostsim::Curve::MakeLine({0, 0, 0}, {1, 0, 0}));
            s.doc.Delete(gone);
            const auto resolve = [&](std::string text) {
                for (const auto& [name, id] : {std::pair<std::string, std::string>{"<own>", own},
                                               {"<point>", s.point},
                                               {"<gone>", gone},
                                               {"<line>", s.line},
                                               {"<xy>", s.xy},
                                               {"<yz>", s.yz}}) {
                    if (const std::size_t at = text.find(name); at != std::string::npos) {
                        text.replace(at, name.size(), id);
                    }
                }
                return text;
            };
            if (field) {
                s.panel.SetFieldText(*field, resolve(c.text));
            }
            if (!c.list.empty()) {
                s.panel.ListClear();
                for (const std::string& row : c.list) {
                    s.panel.ListAppend(resolve(row));
                }
            }
            const PanelControl control = !field                       ? PanelControl::Command4
                                         : c.action == Action::Press  ? *field
                                         : c.action == Action::Create ? PanelControl::Command2
                                                                      : PanelControl::Command4;
            if (c.action == Action::Press) {
                s.router.OnPanelEvent(control, PanelEvent::MouseDown);
                s.router.OnPanelEvent(control, PanelEvent::MouseUp);
            } else {
                s.Click(control);
            }

            const std::vector<std::string> messages = {resolve(c.message)};
            EXPECT_EQ(s.panel.messages, c.message.empty() ? std::vector<std::string>{} : messages);
            const std::vector<std::string> commands = s.host.CommandTexts();
            switch (c.action) {
                case Action::Generate: {
                    EXPECT_EQ(s.panel.statusCaption, c.caption);
                    ASSERT_EQ(commands.size(), c.sent ? 1u : 0u);
                    if (c.sent) {
                        const auto points = hostsim::ParseInterpCrvCommand(commands.front());
                        ASSERT_TRUE(points.has_value());
                        EXPECT_EQ(points->size(), static_cast<std::size_t>(*c.sent));
                    }
                    // A run that reached its entry added both probe lines and deleted them again.
                    const std::size_t probes = c.sent || !c.message.empty() ? 2 : 0;
                    EXPECT_EQ(s.host.CountOf("AddLine"), probes);
                    EXPECT_EQ(s.host.CountOf("DeleteObject"), probes);
                    if (!c.list.empty()) {
                        EXPECT_EQ(s.host.CountOf("IsPoint"), c.list.size());
                    }
                    break;
                }
                case Action::Create: {
                    EXPECT_FALSE(s.panel.statusVisible);
                    EXPECT_EQ(s.host.CountOf("SelectObject"), 1u);
                    EXPECT_EQ(s.host.CountOf("UnselectObject"), 1u);
                    const RecordedCall* divide = nullptr;
                    for (const RecordedCall& call : s.host.calls) {
                        divide = call.name == "DivideCurve" ? &call : divide;
                    }
                    ASSERT_EQ(s.host.CountOf("DivideCurve"), c.sent ? 1u : 0u);
                    if (c.sent) {
                        EXPECT_EQ(divide->args.at(1), HostValue::Double(*c.sent));
                    }
                    EXPECT_EQ(s.host.CountOf("AddPoint"), c.added);
                    EXPECT_TRUE(commands.empty());
                    break;
                }
                case Action::Press:
                    EXPECT_EQ(s.host.calls.size(), static_cast<std::size_t>(*c.sent));
                    break;
            }
            s.ExpectNothingLeftBehind(c.added, c.action == Action::Generate && !c.message.empty());
        }
    }
}

}  // namespace
