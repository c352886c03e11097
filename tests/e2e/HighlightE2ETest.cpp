// Press-to-highlight: holding a mouse button on an id field or a list row selects its object
// in the host; releasing it unselects it.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "E2eScenario.h"

namespace e2e {
namespace {

using namespace driver;
using common::PanelControl;

class HighlightE2ETest : public E2eScenario {};

TEST_F(HighlightE2ETest, PressSelectsAndReleaseUnselectsTheStoredObject) {
    static const struct {
        const char* name;
        PanelControl control;
        MouseButton button;
        const char* fieldText;   // typed into the field first; nullptr for the list
        std::optional<int> row;  // the list row pressed
        const char* hostId;      // the id the host receives; nullptr: no host call at all
        const char* selectedId;  // the object selected while the button is held; nullptr: none
    } kCases[] = {
        {"Text5, left button", PanelControl::Text5, MouseButton::Left, kLineId, std::nullopt, kLineId, kLineId},
        {"Text1, right button (the field's own menu opens on release and is closed)", PanelControl::Text1,
         MouseButton::Right, kXyCurveId, std::nullopt, kXyCurveId, kXyCurveId},
        {"Text2, middle button", PanelControl::Text2, MouseButton::Middle, kYzCurveId, std::nullopt, kYzCurveId,
         kYzCurveId},
        {"Text1 with blanks around the id sends it trimmed", PanelControl::Text1, MouseButton::Left,
         "  22222222-2222-4222-8222-222222222222  ", std::nullopt, kXyCurveId, kXyCurveId},
        {"an empty field makes no host call", PanelControl::Text2, MouseButton::Left, "", std::nullopt, nullptr,
         nullptr},
        {"a field of blanks sends the empty id", PanelControl::Text5, MouseButton::Left, "   ", std::nullopt, "",
         nullptr},
        {"List1, the second row", PanelControl::List1, MouseButton::Left, nullptr, 1, kPoint2Id, kPoint2Id},
        {"List1, the third row, right button", PanelControl::List1, MouseButton::Right, nullptr, 2, kPoint3Id,
         kPoint3Id},
    };
    Start(WithScene("points.scene"));
    S().Click(PanelControl::Command1);
    ASSERT_EQ(P().ListRows().size(), 3u);
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        if (c.fieldText != nullptr) {
            P().SetText(c.control, c.fieldText);
        } else {
            P().SelectListRow(*c.row);
        }
        S().Control().ClearLog();
        S().Press(c.control, c.button, c.row);
        const std::vector<LoggedCall> pressCalls = S().Calls();
        EXPECT_EQ(S().Document().SelectedIds(),
                  c.selectedId != nullptr ? std::vector<std::string>{c.selectedId} : std::vector<std::string>{});
        S().Control().ClearLog();
        S().Release(c.control, c.button, c.row);
        // A right-button release on a text box opens the box's edit menu before the handler
        // runs; the user closes it with Esc.
        S().CloseMenus();
        const std::vector<LoggedCall> releaseCalls = S().Calls();
        EXPECT_TRUE(S().Document().SelectedIds().empty());
        if (c.hostId == nullptr) {
            EXPECT_TRUE(pressCalls.empty());
            EXPECT_TRUE(releaseCalls.empty());
            continue;
        }
        ASSERT_EQ(pressCalls.size(), 1u);
        EXPECT_EQ(pressCalls[0].operation, "SelectObject");
        EXPECT_EQ(StringArgument(pressCalls[0].arguments.at(0)), std::optional<std::string>(c.hostId));
        ASSERT_EQ(releaseCalls.size(), 1u);
        EXPECT_EQ(releaseCalls[0].operation, "UnselectObject");
        EXPECT_EQ(StringArgument(releaseCalls[0].arguments.at(0)), std::optional<std::string>(c.hostId));
    }
}

TEST_F(HighlightE2ETest, AnObjectSelectedBeforeThePressEndsUnselected) {
    Start(WithScene("points.scene", {"add point 3 3 0 id=66666666-6666-4666-8666-666666666666 selected"}));
    ASSERT_EQ(S().Document().SelectedIds(), std::vector<std::string>{"66666666-6666-4666-8666-666666666666"});
    P().SetText(PanelControl::Text5, "66666666-6666-4666-8666-666666666666");
    S().Press(PanelControl::Text5, MouseButton::Left);
    S().Release(PanelControl::Text5, MouseButton::Left);
    EXPECT_TRUE(S().Document().SelectedIds().empty());
}

}  // namespace
}  // namespace e2e
