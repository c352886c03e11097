// The information box run modally: owner disabled while it is shown, focus on "OK",
// the longest message wrapped inside its label, one fresh box per message.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WindowTestSupport.h"
#include "platform/win32/base/TextConversion.h"
#include "platform/win32/base/UniqueHandle.h"
#include "platform/win32/windows/Form1.h"
#include "platform/win32/windows/MyInfoBox.h"
#include "ui/ControlTables.h"

namespace {

constexpr char kLongestMessage[] = "No intersection found, make sure curve and points are cooplanar in XY and YZ";

// What a test saw of the box while it was open.
struct SeenBox {
    HWND box = nullptr;
    bool ownerDisabled = false;
    bool focusOnOk = false;
    bool topmost = false;
    std::wstring label;
};

// Opens `message` in a box owned by `owner`, records what the open box looks like, then
// closes it the way the user does: a click on "OK", or `closeKey` sent to the focus. `panel`
// (default: the owner) is the window not to mistake for the box.
SeenBox ShowAndClose(HWND owner, const std::string& message, UINT closeKey = 0, HWND panel = nullptr) {
    SeenBox seen;
    window_test::RunFromMessageLoop([&] {
        const auto forms = window_test::VisibleForms(panel != nullptr ? panel : owner);
        ASSERT_EQ(forms.size(), 1u);
        seen.box = forms.front();
        const HWND ok = ::GetDlgItem(seen.box, ui::kInfoBoxOkId);
        seen.ownerDisabled = owner != nullptr && ::IsWindowEnabled(owner) == FALSE;
        seen.focusOnOk = ::GetFocus() == ok;
        seen.topmost = (::GetWindowLongPtrW(seen.box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        wchar_t text[256] = {};
        ::GetWindowTextW(::GetDlgItem(seen.box, ui::kInfoBoxLabel1Id), text, 256);
        seen.label = text;
        if (closeKey != 0) {
            ::PostMessageW(::GetFocus(), WM_KEYDOWN, closeKey, 0);
            ::PostMessageW(::GetFocus(), WM_KEYUP, closeKey, 0xC0000000);
        } else {
            ::PostMessageW(ok, BM_CLICK, 0, 0);
        }
    });
    win32::ShowInfoBox(owner, message);
    window_test::CancelPendingActions();
    return seen;
}

TEST(InfoBoxTest, IsModalFocusedOnOkAndGoneAfterOk) {
    win32::Form1 panel;
    panel.Show();
    const SeenBox seen = ShowAndClose(panel.Hwnd(), "Selected curve is not in the YZ plane");
    ASSERT_NE(seen.box, nullptr);
    EXPECT_TRUE(seen.ownerDisabled);
    EXPECT_TRUE(seen.focusOnOk);
    EXPECT_TRUE(seen.topmost);
    EXPECT_EQ(seen.label, L"Selected curve is not in the YZ plane");
    EXPECT_FALSE(::IsWindow(seen.box)) << "OK destroys the box";
    EXPECT_TRUE(::IsWindowEnabled(panel.Hwnd())) << "the owner takes input again";
}

TEST(InfoBoxTest, KeysThatPressTheFocusedButtonCloseTheBox) {
    win32::Form1 panel;
    panel.Show();
    for (const UINT key : {UINT{VK_RETURN}, UINT{VK_SPACE}}) {
        SCOPED_TRACE(key);
        const SeenBox seen = ShowAndClose(panel.Hwnd(), "Selected curve is not in the XY plane", key);
        EXPECT_TRUE(seen.focusOnOk);
        EXPECT_FALSE(::IsWindow(seen.box));
    }
}

TEST(InfoBoxTest, TwoMessagesGiveTwoSeparateBoxes) {
    win32::Form1 panel;
    panel.Show();
    const SeenBox first = ShowAndClose(panel.Hwnd(), "Selected curve is not in the XY plane");
    const SeenBox second = ShowAndClose(panel.Hwnd(), "Selected curve is not in the YZ plane");
    ASSERT_NE(first.box, nullptr);
    ASSERT_NE(second.box, nullptr);
    EXPECT_NE(first.box, second.box);
    EXPECT_TRUE(first.topmost && second.topmost);
    EXPECT_TRUE(first.focusOnOk && second.focusOnOk);
    EXPECT_EQ(second.label, L"Selected curve is not in the YZ plane");
}

TEST(InfoBoxTest, WithoutOwnerNothingIsDisabled) {
    win32::Form1 panel;
    panel.Show();
    const SeenBox seen =
        ShowAndClose(nullptr, "Rhin is not running!. Start Rhino then start the plug-in", 0, panel.Hwnd());
    ASSERT_NE(seen.box, nullptr);
    EXPECT_TRUE(::IsWindowEnabled(panel.Hwnd()));
    EXPECT_FALSE(::IsWindow(seen.box));
}

TEST(InfoBoxTest, EveryMessageWrapsInsideTheLabelWithoutClipping) {
    static const char* const kMessages[] = {
        kLongestMessage,
        "Rhin is not running!. Start Rhino then start the plug-in",
        "Selected curve is not in the XY plane",
    };
    win32::MyInfoBox box(nullptr);
    const HWND label = box.Control(ui::kInfoBoxLabel1Id);
    RECT client{};
    ::GetClientRect(label, &client);
    const win32::UniqueWindowDc dc = win32::HwndGetDc(label);
    const win32::SelectionScope font(dc.Get().hdc, box.Font());
    for (const char* message : kMessages) {
        SCOPED_TRACE(message);
        box.SetMessage(message);
        const std::wstring text = win32::Utf8ToWide(message);
        RECT needed{0, 0, client.right, 0};
        ::DrawTextW(dc.Get().hdc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        EXPECT_LE(needed.right, client.right);
        EXPECT_LE(needed.bottom, client.bottom);
        // Each word stands whole on one line: no word is wider than the label.
        RECT singleLine{0, 0, 0, 0};
        ::DrawTextW(dc.Get().hdc, text.c_str(), -1, &singleLine, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        if (message == kLongestMessage) {
            EXPECT_GT(singleLine.right, client.right) << "the longest message does need wrapping";
            EXPECT_GT(needed.bottom, singleLine.bottom);
        }
    }
}

}  // namespace
