#include "picking/PressHighlight.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "FakeDispatcher.h"
#include "HostsimDispatcher.h"
#include "MemoryPanel.h"
#include "hostsim/model/Curve.h"
#include "hostsim/model/Document.h"
#include "hostsim/model/ScriptApi.h"

namespace {

using common::PanelControl;
using testing_support::FakeDispatcher;
using testing_support::MemoryPanel;

std::vector<std::string> PressAndRelease(const MemoryPanel& panel, PanelControl source) {
    FakeDispatcher host;
    host::HostScript script(&host);
    picking::HighlightOnPress(script, panel, source);
    picking::UnhighlightOnRelease(script, panel, source);
    std::vector<std::string> calls;
    for (const auto& call : host.calls) {
        calls.push_back(call.Describe());
    }
    return calls;
}

TEST(PressHighlightTest, IdFieldsSelectWhilePressed) {
    static const struct {
        const char* name;
        PanelControl source;
        PanelControl field;
        const char* text;
        std::vector<std::string> calls;
    } kCases[] = {
        {"Text5",
         PanelControl::Text5,
         PanelControl::Text5,
         "L1",
         {"SelectObject(S:\"L1\")", "UnselectObject(S:\"L1\")"}},
        {"Text1 padded",
         PanelControl::Text1,
         PanelControl::Text1,
         "  C1  ",
         {"SelectObject(S:\"C1\")", "UnselectObject(S:\"C1\")"}},
        {"Text2 blank-only passes the empty id",
         PanelControl::Text2,
         PanelControl::Text2,
         "   ",
         {"SelectObject(S:\"\")", "UnselectObject(S:\"\")"}},
        {"Text2 tab kept",
         PanelControl::Text2,
         PanelControl::Text2,
         "\tC2 ",
         {"SelectObject(S:\"\tC2\")", "UnselectObject(S:\"\tC2\")"}},
        {"Text1 empty", PanelControl::Text1, PanelControl::Text1, "", {}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        MemoryPanel panel;
        panel.SetFieldText(c.field, c.text);
        panel.SetFieldText(PanelControl::Text5, c.field == PanelControl::Text5 ? c.text : "other");
        EXPECT_EQ(PressAndRelease(panel, c.source), c.calls);
    }
}

TEST(PressHighlightTest, ListSelectsItsSelectedRow) {
    static const struct {
        const char* name;
        std::vector<std::string> rows;
        std::optional<std::size_t> selected;
        std::vector<std::string> calls;
    } kCases[] = {
        {"selected row, trimmed", {"P1", " P2 "}, 1, {"SelectObject(S:\"P2\")", "UnselectObject(S:\"P2\")"}},
        {"no selected row", {"P1"}, std::nullopt, {}},
        {"empty list", {}, std::nullopt, {}},
        {"selection past the end", {"P1"}, 3, {}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        MemoryPanel panel;
        for (const auto& row : c.rows) {
            panel.ListAppend(row);
        }
        panel.selectedRow = c.selected;
        EXPECT_EQ(PressAndRelease(panel, PanelControl::List1), c.calls);
    }
}

TEST(PressHighlightTest, SimulatedHostSelectsWhilePressedAndUnselectsOnRelease) {
    hostsim::ScriptApi api;
    hostsim::Document& doc = api.Doc();
    const std::string line = doc.AddCurve(*hostsim::Curve::MakeLine({0, 0, 0}, {1, 0, 0}));
    ASSERT_TRUE(doc.Select(line));  // selected before the press: unselected after the release
    testing_support::HostsimDispatcher dispatcher(api);
    host::HostScript script(&dispatcher);
    MemoryPanel panel;
    panel.SetFieldText(PanelControl::Text5, " " + line + " ");
    picking::HighlightOnPress(script, panel, PanelControl::Text5);
    EXPECT_EQ(doc.SelectedIds(), std::vector<std::string>{line});
    picking::UnhighlightOnRelease(script, panel, PanelControl::Text5);
    EXPECT_TRUE(doc.SelectedIds().empty());
}

}  // namespace
