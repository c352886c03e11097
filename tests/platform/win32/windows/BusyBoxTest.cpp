// The busy box answered from the keyboard, with real key messages through its modal loop (a
// box the keys leave open fails the test after 10 s: see RunFromMessageLoop).
#include "platform/win32/windows/BusyBox.h"

#include <gtest/gtest.h>

#include <vector>

#include "WindowTestSupport.h"
#include "platform/win32/windows/Form1.h"
#include "ui/ControlTables.h"

namespace {

TEST(BusyBoxTest, EnterPressesTheFocusedButtonAndEscCancels) {
    static const struct {
        const char* name;
        std::vector<UINT> keys;
        bool retry;
    } kCases[] = {
        {"Enter on Retry, focused as the box opens", {VK_RETURN}, true},
        {"Tab to Cancel, then Enter", {VK_TAB, VK_RETURN}, false},
        {"Esc", {VK_ESCAPE}, false},
    };
    win32::Form1 panel;
    panel.Show();
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        bool focusOnRetry = false;
        win32::BusyBox box(panel.Hwnd());
        window_test::RunFromMessageLoop([&] {
            focusOnRetry = ::GetFocus() == box.Control(ui::kBusyBoxRetryId);
            for (const UINT key : c.keys) {
                ::PostMessageW(::GetFocus(), WM_KEYDOWN, key, 0);
                ::PostMessageW(::GetFocus(), WM_KEYUP, key, 0xC0000000);
            }
        });
        const bool retry = box.AskRetry();
        window_test::CancelPendingActions();
        EXPECT_TRUE(focusOnRetry);
        EXPECT_EQ(retry, c.retry);
        EXPECT_EQ(box.Hwnd(), nullptr);
    }
}

}  // namespace
