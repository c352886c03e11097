// The panel surface over the real controls, the event wiring and keyboard navigation.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "WindowTestSupport.h"
#include "platform/win32/Form1.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Panel.h"
#include "ui/ControlTables.h"
#include "ui/PanelEvents.h"

namespace {

using ui::PanelControl;
using ui::PanelEvent;

class RecordingEvents : public ui::PanelEvents {
public:
    void OnPanelEvent(PanelControl control, PanelEvent event) override {
        received.emplace_back(control, event);
        if (onEvent) {
            onEvent();
        }
    }
    std::vector<std::pair<PanelControl, PanelEvent>> received;
    std::function<void()> onEvent;
};

// The text colour the panel sets up for the status label's painting.
COLORREF StatusTextColor(const win32::Form1& form) {
    const win32::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    ::SendMessageW(form.Hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                   reinterpret_cast<LPARAM>(form.Control(ui::Form1Id::Label2)));
    return ::GetTextColor(dc.Get());
}

TEST(Win32PanelTest, FreshPanelReadsAsTheTableSaysAndFieldsRoundTrip) {
    win32::Form1 form;
    win32::Win32Panel panel(form);
    EXPECT_EQ(panel.FieldText(common::PanelField::Text3), "5");
    EXPECT_EQ(panel.FieldText(common::PanelField::Text4), "10");
    EXPECT_EQ(panel.FieldText(common::PanelField::Text1), "");
    EXPECT_TRUE(panel.BothSidesChecked());
    EXPECT_EQ(panel.ListCount(), 0u);
    EXPECT_FALSE(panel.ListSelectedRow().has_value());

    const std::string id = "  8a1c3e52-0f5d-4b6e-9a77-2c1d0e9f4b31 ";
    panel.SetFieldText(common::PanelField::Text5, id);
    EXPECT_EQ(panel.FieldText(common::PanelField::Text5), id) << "kept exactly, blanks included";

    ::SendMessageW(form.Control(ui::Form1Id::Check1), BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_FALSE(panel.BothSidesChecked());
}

TEST(Win32PanelTest, ListKeepsRowsInOrderAndFindsThemIgnoringCase) {
    win32::Form1 form;
    win32::Win32Panel panel(form);
    panel.ListAppend("B2-POINT");
    panel.ListAppend("a1-point");
    ASSERT_EQ(panel.ListCount(), 2u);
    EXPECT_EQ(panel.ListRow(0), "B2-POINT") << "not sorted";
    EXPECT_EQ(panel.ListRow(1), "a1-point");
    EXPECT_EQ(panel.ListRow(5), "");
    EXPECT_TRUE(panel.ListHasRowIgnoringCase("b2-point"));
    EXPECT_TRUE(panel.ListHasRowIgnoringCase("A1-POINT"));
    EXPECT_FALSE(panel.ListHasRowIgnoringCase("a1-poin"));

    ::SendMessageW(form.Control(ui::Form1Id::List1), LB_SETCURSEL, 1, 0);
    EXPECT_EQ(panel.ListSelectedRow(), std::optional<std::size_t>(1));

    panel.ListClear();
    EXPECT_EQ(panel.ListCount(), 0u);
    EXPECT_FALSE(panel.ListHasRowIgnoringCase("a1-point")) << "the index is cleared with the rows";
}

// Rows appended while painting is paused leave the list box untouched on screen; the last
// resume repaints it with every row, and an unmatched resume changes nothing.
TEST(Win32PanelTest, RowsAppendedWhilePausedArePaintedWhenTheLastPauseEnds) {
    win32::Form1 form;
    win32::Win32Panel panel(form);
    form.Show();
    ::UpdateWindow(form.Hwnd());
    win32::LetPendingMessagesRun();
    const HWND list = form.Control(ui::Form1Id::List1);
    const RECT listRect = window_test::RectInWindow(list);
    const COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT);
    const int emptyTextPixels = window_test::Capture(form.Hwnd()).CountColor(listRect, text);

    panel.SetListRedraw(false);
    panel.SetListRedraw(false);
    for (int i = 0; i < 5; ++i) {
        panel.ListAppend("8A1C3E52-0F5D-4B6E-9A77-2C1D0E9F4B3" + std::to_string(i));
    }
    EXPECT_FALSE(::GetUpdateRect(list, nullptr, FALSE)) << "a paused list is not repainted";
    panel.SetListRedraw(true);
    EXPECT_FALSE(::GetUpdateRect(list, nullptr, FALSE)) << "the outer pause still holds";
    panel.SetListRedraw(true);
    EXPECT_TRUE(::GetUpdateRect(list, nullptr, FALSE)) << "the last resume repaints the list";
    ::UpdateWindow(form.Hwnd());
    win32::LetPendingMessagesRun();
    EXPECT_GT(window_test::Capture(form.Hwnd()).CountColor(listRect, text), emptyTextPixels + 50);
    EXPECT_EQ(panel.ListCount(), 5u);

    panel.SetListRedraw(true);
    panel.ListAppend("8A1C3E52-0F5D-4B6E-9A77-2C1D0E9F4B39");
    EXPECT_TRUE(::GetUpdateRect(list, nullptr, FALSE)) << "a list not paused repaints each row";
}

TEST(Win32PanelTest, StatusLabelKeepsTheSystemColourUntilSetAndThenTheLastColour) {
    win32::Form1 form;
    win32::Win32Panel panel(form);
    const HWND label = form.Control(ui::Form1Id::Label2);
    EXPECT_EQ(StatusTextColor(form), ::GetSysColor(COLOR_BTNTEXT));

    panel.SetStatusVisible(false);
    EXPECT_FALSE(::GetWindowLongPtrW(label, GWL_STYLE) & WS_VISIBLE);
    panel.SetStatusCaption("12 points added!");
    panel.SetStatusVisible(true);
    EXPECT_TRUE(::GetWindowLongPtrW(label, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(StatusTextColor(form), ::GetSysColor(COLOR_BTNTEXT)) << "before any colour was set";

    panel.SetStatusColor(common::kStatusRed);
    panel.SetStatusCaption("Calculating Curtate cycloid...");
    EXPECT_EQ(StatusTextColor(form), RGB(255, 0, 0));
    panel.SetStatusColor(common::kStatusBlue);
    panel.SetStatusCaption("Curtate cycloid - DONE!");
    panel.SetStatusVisible(false);
    panel.SetStatusCaption("3 points added!");
    panel.SetStatusVisible(true);
    EXPECT_EQ(StatusTextColor(form), RGB(0, 0, 255)) << "later messages keep the last colour";
    wchar_t text[64] = {};
    ::GetWindowTextW(label, text, 64);
    EXPECT_STREQ(text, L"3 points added!");
}

TEST(Win32PanelTest, StatusLabelIsPaintedInItsColour) {
    win32::Form1 form;
    win32::Win32Panel panel(form);
    form.Show();
    panel.SetStatusCaption("Calculating Curtate cycloid...");
    panel.SetStatusColor(common::kStatusRed);
    ::UpdateWindow(form.Hwnd());
    win32::LetPendingMessagesRun();
    const window_test::Capture red(form.Hwnd());
    const RECT labelRect = window_test::RectInWindow(form.Control(ui::Form1Id::Label2));
    EXPECT_GT(red.CountColor(labelRect, RGB(255, 0, 0)), 20);
    EXPECT_EQ(red.CountColor(labelRect, RGB(0, 0, 255)), 0);

    panel.SetStatusColor(common::kStatusBlue);
    ::UpdateWindow(form.Hwnd());
    win32::LetPendingMessagesRun();
    const window_test::Capture blue(form.Hwnd());
    EXPECT_GT(blue.CountColor(labelRect, RGB(0, 0, 255)), 20);
    EXPECT_EQ(blue.CountColor(labelRect, RGB(255, 0, 0)), 0);
}

TEST(Win32PanelTest, RaisesExactlyTheWiredEvents) {
    win32::Form1 form;
    RecordingEvents events;
    form.SetEvents(&events);
    form.Show();

    const auto click = [&](ui::Form1Id id) { ::SendMessageW(form.Control(id), BM_CLICK, 0, 0); };
    const auto press = [&](ui::Form1Id id, UINT down, UINT up) {
        ::SendMessageW(form.Control(id), down, 0, MAKELPARAM(3, 3));
        ::SendMessageW(form.Control(id), up, 0, MAKELPARAM(3, 3));
        ::ReleaseCapture();
    };
    click(ui::Form1Id::Command5);
    click(ui::Form1Id::Command6);  // owner-drawn
    click(ui::Form1Id::Command4);
    press(ui::Form1Id::Text1, WM_LBUTTONDOWN, WM_LBUTTONUP);
    press(ui::Form1Id::List1, WM_RBUTTONDOWN, WM_RBUTTONUP);
    press(ui::Form1Id::Text5, WM_MBUTTONDOWN, WM_MBUTTONUP);
    press(ui::Form1Id::Pic1, WM_LBUTTONDOWN, WM_LBUTTONUP);
    // Not wired: nothing may arrive for these.
    click(ui::Form1Id::Check1);
    press(ui::Form1Id::Text3, WM_LBUTTONDOWN, WM_LBUTTONUP);
    press(ui::Form1Id::Text4, WM_LBUTTONDOWN, WM_LBUTTONUP);
    press(ui::Form1Id::Label3, WM_LBUTTONDOWN, WM_LBUTTONUP);
    win32::LetPendingMessagesRun();

    const std::vector<std::pair<PanelControl, PanelEvent>> expected = {
        {PanelControl::Command5, PanelEvent::Click},     {PanelControl::Command6, PanelEvent::Click},
        {PanelControl::Command4, PanelEvent::Click},     {PanelControl::Text1, PanelEvent::MouseDown},
        {PanelControl::Text1, PanelEvent::MouseUp},      {PanelControl::List1, PanelEvent::MouseDown},
        {PanelControl::List1, PanelEvent::MouseUp},      {PanelControl::Text5, PanelEvent::MouseDown},
        {PanelControl::Text5, PanelEvent::MouseUp},      {PanelControl::Pic1, PanelEvent::Click},
    };
    EXPECT_EQ(events.received, expected);
}

TEST(Win32PanelTest, FailureInAHandlerIsShownInTheInformationBox) {
    win32::Form1 form;
    RecordingEvents events;
    events.onEvent = [] { throw std::runtime_error("Rhino could not complete GetObject: cancelled"); };
    form.SetEvents(&events);
    form.Show();
    std::wstring shown;
    window_test::RunFromMessageLoop([&] {
        const auto forms = window_test::VisibleForms(form.Hwnd());
        ASSERT_EQ(forms.size(), 1u);
        wchar_t text[256] = {};
        ::GetWindowTextW(::GetDlgItem(forms.front(), ui::kInfoBoxLabel1Id), text, 256);
        shown = text;
        ::PostMessageW(::GetDlgItem(forms.front(), ui::kInfoBoxOkId), BM_CLICK, 0, 0);
    });
    ::SendMessageW(form.Control(ui::Form1Id::Command6), BM_CLICK, 0, 0);
    window_test::CancelPendingActions();
    EXPECT_EQ(shown, L"Rhino could not complete GetObject: cancelled");
    EXPECT_TRUE(::IsWindowEnabled(form.Hwnd()));
}

TEST(Win32PanelTest, QueuedClickRunsInsideLetPendingMessagesRun) {
    win32::Form1 form;
    win32::Win32Panel panel(form);
    RecordingEvents events;
    form.SetEvents(&events);
    form.Show();
    ::PostMessageW(form.Hwnd(), WM_COMMAND, MAKEWPARAM(ui::IdOf(ui::Form1Id::Command3), BN_CLICKED),
                   reinterpret_cast<LPARAM>(form.Control(ui::Form1Id::Command3)));
    EXPECT_TRUE(events.received.empty());
    panel.LetPendingMessagesRun();
    ASSERT_EQ(events.received.size(), 1u);
    EXPECT_EQ(events.received.front().first, PanelControl::Command3);
}

TEST(Win32PanelTest, TabWalksTheControlsInTabIndexOrder) {
    win32::Form1 form;
    form.Show();
    ::SetForegroundWindow(form.Hwnd());
    ::SetFocus(form.Control(ui::Form1Id::Command5));
    win32::LetPendingMessagesRun();
    const ui::Form1Id kOrder[] = {
        ui::Form1Id::Command2, ui::Form1Id::Command6, ui::Form1Id::Command7, ui::Form1Id::Command8,
        ui::Form1Id::Command4, ui::Form1Id::Command1, ui::Form1Id::Command3, ui::Form1Id::Text4,
        ui::Form1Id::Text3,    ui::Form1Id::List1,    ui::Form1Id::Text2,    ui::Form1Id::Text1,
        ui::Form1Id::Text5,    ui::Form1Id::Check1,   ui::Form1Id::Command5,
    };
    ASSERT_EQ(::GetFocus(), form.Control(ui::Form1Id::Command5));
    for (const ui::Form1Id next : kOrder) {
        SCOPED_TRACE(ui::FindControlById(ui::Form1Spec(), ui::IdOf(next))->name.data());
        ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        ::PostMessageW(::GetFocus(), WM_KEYUP, VK_TAB, 0xC0000000);
        win32::LetPendingMessagesRun();
        EXPECT_EQ(::GetFocus(), form.Control(next));
    }
}

TEST(Win32PanelTest, EnterPressesTheFocusedColouredButton) {
    win32::Form1 form;
    RecordingEvents events;
    form.SetEvents(&events);
    form.Show();
    ::SetForegroundWindow(form.Hwnd());
    ::SetFocus(form.Control(ui::Form1Id::Command8));
    ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
    win32::LetPendingMessagesRun();
    ::SetFocus(form.Control(ui::Form1Id::Text3));
    ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
    win32::LetPendingMessagesRun();
    ASSERT_EQ(events.received.size(), 1u) << "Enter in a text box runs nothing";
    EXPECT_EQ(events.received.front(), std::make_pair(PanelControl::Command8, PanelEvent::Click));
}

}  // namespace
