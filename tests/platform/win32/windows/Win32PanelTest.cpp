// The panel surface over the real controls, the event wiring and keyboard navigation.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "FakeDispatcher.h"
#include "WindowTestSupport.h"
#include "construct/GenerationRun.h"
#include "host/BusyPolicy.h"
#include "host/HostScript.h"
#include "platform/win32/base/UniqueHandle.h"
#include "platform/win32/windows/Form1.h"
#include "platform/win32/windows/MessageLoop.h"
#include "platform/win32/windows/Win32Panel.h"
#include "ui/ControlTables.h"
#include "ui/EventRouter.h"
#include "ui/PanelEvents.h"

#include <commctrl.h>  // after the Windows header

namespace {

using common::PanelControl;
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
                   reinterpret_cast<LPARAM>(form.Control(common::PanelControl::Label2)));
    return ::GetTextColor(dc.Get());
}

TEST(Win32PanelTest, FreshPanelReadsAsTheTableSaysAndFieldsRoundTrip) {
    win32::Form1 form;
    win32::Win32Panel panel(form);
    EXPECT_EQ(panel.FieldText(common::PanelControl::Text3), "5");
    EXPECT_EQ(panel.FieldText(common::PanelControl::Text4), "10");
    EXPECT_EQ(panel.FieldText(common::PanelControl::Text1), "");
    EXPECT_TRUE(panel.BothSidesChecked());
    EXPECT_EQ(panel.ListCount(), 0u);
    EXPECT_FALSE(panel.ListSelectedRow().has_value());

    const std::string id = "  8a1c3e52-0f5d-4b6e-9a77-2c1d0e9f4b31 ";
    panel.SetFieldText(common::PanelControl::Text5, id);
    EXPECT_EQ(panel.FieldText(common::PanelControl::Text5), id) << "kept exactly, blanks included";

    ::SendMessageW(form.Control(common::PanelControl::Check1), BM_SETCHECK, BST_UNCHECKED, 0);
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

    ::SendMessageW(form.Control(common::PanelControl::List1), LB_SETCURSEL, 1, 0);
    EXPECT_EQ(panel.ListSelectedRow(), std::optional<std::size_t>(1));

    panel.ListClear();
    EXPECT_EQ(panel.ListCount(), 0u);
    EXPECT_FALSE(panel.ListHasRowIgnoringCase("a1-point")) << "the index is cleared with the rows";
}

LRESULT CALLBACK AnswerForEveryRow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR answer) {
    if (message == LB_ADDSTRING) {
        return static_cast<LRESULT>(answer);
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

// A row the list box refuses is reported with what the list box answered, not as a system
// error code.
TEST(Win32PanelTest, RowRefusedByTheListBoxIsReportedAsSuch) {
    static const struct {
        const char* name;
        LRESULT answer;
        const char* message;
    } kCases[] = {
        {"no room", LB_ERRSPACE, "List1 has no room for another row (LB_ADDSTRING answered LB_ERRSPACE)"},
        {"other failure", LB_ERR, "List1 refused the row (LB_ADDSTRING answered LB_ERR)"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        win32::Form1 form;
        win32::Win32Panel panel(form);
        ASSERT_TRUE(::SetWindowSubclass(form.Control(PanelControl::List1), &AnswerForEveryRow, 1,
                                        static_cast<DWORD_PTR>(c.answer)));
        try {
            panel.ListAppend("P1");
            ADD_FAILURE() << "no failure reported";
        } catch (const std::exception& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
        EXPECT_FALSE(panel.ListHasRowIgnoringCase("P1")) << "a refused row is not indexed";
    }
}

// Rows appended while painting is paused leave the list box untouched on screen; the last
// resume repaints it with every row, and an unmatched resume changes nothing.
TEST(Win32PanelTest, RowsAppendedWhilePausedArePaintedWhenTheLastPauseEnds) {
    win32::Form1 form;
    win32::Win32Panel panel(form);
    form.Show();
    ::UpdateWindow(form.Hwnd());
    win32::LetPendingMessagesRun();
    const HWND list = form.Control(common::PanelControl::List1);
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
    const HWND label = form.Control(common::PanelControl::Label2);
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
    const RECT labelRect = window_test::RectInWindow(form.Control(common::PanelControl::Label2));
    EXPECT_GT(red.CountColor(labelRect, RGB(255, 0, 0)), 20);
    EXPECT_EQ(red.CountColor(labelRect, RGB(0, 0, 255)), 0);

    panel.SetStatusColor(common::kStatusBlue);
    ::UpdateWindow(form.Hwnd());
    win32::LetPendingMessagesRun();
    const window_test::Capture blue(form.Hwnd());
    EXPECT_GT(blue.CountColor(labelRect, RGB(0, 0, 255)), 20);
    EXPECT_EQ(blue.CountColor(labelRect, RGB(255, 0, 0)), 0);
}

// The run lets no window message run between its entries, yet the status label shows each
// entry's number as the run writes it: read from the screen whenever the host draws a curve.
TEST(Win32PanelTest, StatusLabelShowsEachEntryDuringARunWhileNoClickRuns) {
    using common::HostValue;
    win32::Form1 form;
    win32::Win32Panel panel(form);
    RecordingEvents events;
    form.SetEvents(&events);
    form.Show();
    panel.SetFieldText(PanelControl::Text1, "XY");
    panel.SetFieldText(PanelControl::Text2, "YZ");
    constexpr std::size_t kEntries = 3;
    for (std::size_t i = 0; i < kEntries; ++i) {
        panel.ListAppend("P" + std::to_string(i));
    }

    // Every entry a point at (0, 10, 0) that both probes meet.
    testing_support::FakeDispatcher host;
    host.Default("IsPoint", HostValue::Bool(true));
    host.Default("PointCoordinates", HostValue::Point(0, 10, 0));
    int probes = 0;
    host.Answer("AddLine",
                [&](const std::vector<HostValue>&) { return HostValue::String("probe" + std::to_string(++probes)); });
    host.Default("CurveCurveIntersection",
                 HostValue::Array({HostValue::Int32(1), HostValue::Point(-20, 10, 0)}, {{0, 1}, {0, 2}}));
    host.Default("LastCreatedObjects", HostValue::Array({HostValue::String("curve")}));
    const HWND labelControl = form.Control(PanelControl::Label2);
    const RECT label = window_test::RectInWindow(labelControl);
    std::vector<std::vector<COLORREF>> shown;
    std::size_t captionsLeftToTheQueue = 0;
    std::size_t eventsDuringRun = 0;
    host.Answer("Command", [&](const std::vector<HostValue>&) {
        // The caption of this entry is painted, not left for a WM_PAINT that no message loop
        // will take before the run ends.
        captionsLeftToTheQueue += ::GetUpdateRect(labelControl, nullptr, FALSE) ? 1 : 0;
        // The real host answers from another process while the tool waits, and a waiting
        // thread's painting reaches the screen under Wine; the wait runs no window message.
        (void)::MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, 0);
        const window_test::Capture screen(form.Hwnd());
        std::vector<COLORREF> pixels;
        for (int y = label.top; y < label.bottom; ++y) {
            for (int x = label.left; x < label.right; ++x) {
                pixels.push_back(screen.At(x, y));
            }
        }
        shown.push_back(std::move(pixels));
        if (shown.size() == 1) {
            ::PostMessageW(form.Hwnd(), WM_COMMAND, MAKEWPARAM(ui::IdOf(PanelControl::Command3), BN_CLICKED),
                           reinterpret_cast<LPARAM>(form.Control(PanelControl::Command3)));
        }
        eventsDuringRun += events.received.size();
        return HostValue::Bool(true);
    });
    host::HostScript script(&host);
    host::LeftInHost leftInHost;
    construct::RunCycloidGeneration(script, panel, leftInHost);

    ASSERT_EQ(shown.size(), kEntries);
    for (std::size_t i = 1; i < kEntries; ++i) {
        EXPECT_NE(shown[i - 1], shown[i]) << "entry " << i + 1 << " is not shown";
    }
    EXPECT_EQ(captionsLeftToTheQueue, 0u);
    EXPECT_EQ(eventsDuringRun, 0u) << "a click ran inside the run";
    EXPECT_EQ(events.received.size(), 1u) << "the click waits for the run's end";
}

TEST(Win32PanelTest, RaisesExactlyTheWiredEvents) {
    win32::Form1 form;
    RecordingEvents events;
    form.SetEvents(&events);
    form.Show();

    const auto click = [&](common::PanelControl id) { ::SendMessageW(form.Control(id), BM_CLICK, 0, 0); };
    const auto press = [&](common::PanelControl id, UINT down, UINT up) {
        ::SendMessageW(form.Control(id), down, 0, MAKELPARAM(3, 3));
        ::SendMessageW(form.Control(id), up, 0, MAKELPARAM(3, 3));
        ::ReleaseCapture();
    };
    click(common::PanelControl::Command5);
    click(common::PanelControl::Command6);  // owner-drawn
    click(common::PanelControl::Command4);
    press(common::PanelControl::Text1, WM_LBUTTONDOWN, WM_LBUTTONUP);
    press(common::PanelControl::List1, WM_RBUTTONDOWN, WM_RBUTTONUP);
    press(common::PanelControl::Text5, WM_MBUTTONDOWN, WM_MBUTTONUP);
    press(common::PanelControl::Pic1, WM_LBUTTONDOWN, WM_LBUTTONUP);
    // Not wired: nothing may arrive for these.
    click(common::PanelControl::Check1);
    press(common::PanelControl::Text3, WM_LBUTTONDOWN, WM_LBUTTONUP);
    press(common::PanelControl::Text4, WM_LBUTTONDOWN, WM_LBUTTONUP);
    press(common::PanelControl::Label3, WM_LBUTTONDOWN, WM_LBUTTONUP);
    win32::LetPendingMessagesRun();

    const std::vector<std::pair<PanelControl, PanelEvent>> expected = {
        {PanelControl::Command5, PanelEvent::Click}, {PanelControl::Command6, PanelEvent::Click},
        {PanelControl::Command4, PanelEvent::Click}, {PanelControl::Text1, PanelEvent::MouseDown},
        {PanelControl::Text1, PanelEvent::MouseUp},  {PanelControl::List1, PanelEvent::MouseDown},
        {PanelControl::List1, PanelEvent::MouseUp},  {PanelControl::Text5, PanelEvent::MouseDown},
        {PanelControl::Text5, PanelEvent::MouseUp},  {PanelControl::Pic1, PanelEvent::Click},
    };
    EXPECT_EQ(events.received, expected);
}

// The router shows a failed command in the information box; the panel's window adds no report
// of its own, and what leaves the receiver stops at the window procedure.
TEST(Win32PanelTest, FailedCommandIsShownByTheRouterAlone) {
    win32::Form1 form;
    win32::Win32Panel panel(form);
    host::HostScript script(nullptr);
    ui::EventRouter router(script, panel, [] { throw std::runtime_error("no web browser"); });
    RecordingEvents throwing;
    throwing.onEvent = [] { throw std::runtime_error("the report failed"); };
    form.Show();
    const auto clickLogo = [&] {
        ::SendMessageW(form.Hwnd(), WM_COMMAND, MAKEWPARAM(ui::IdOf(PanelControl::Pic1), STN_CLICKED),
                       reinterpret_cast<LPARAM>(form.Control(PanelControl::Pic1)));
    };
    std::vector<std::wstring> shown;
    const auto readAndClose = [&] {
        for (const HWND box : window_test::VisibleForms(form.Hwnd())) {
            wchar_t text[256] = {};
            ::GetWindowTextW(::GetDlgItem(box, ui::kInfoBoxLabel1Id), text, 256);
            shown.emplace_back(text);
            ::PostMessageW(::GetDlgItem(box, ui::kInfoBoxOkId), BM_CLICK, 0, 0);
        }
    };

    form.SetEvents(&router);
    window_test::RunFromMessageLoop(readAndClose);
    clickLogo();
    window_test::CancelPendingActions();
    EXPECT_EQ(shown, std::vector<std::wstring>{L"The command could not be completed: no web browser"});

    form.SetEvents(&throwing);
    window_test::RunFromMessageLoop(readAndClose);
    clickLogo();
    window_test::CancelPendingActions();
    EXPECT_EQ(shown.size(), 1u) << "the window shows nothing of its own";
    EXPECT_TRUE(::IsWindow(form.Hwnd()));
    EXPECT_TRUE(::IsWindowEnabled(form.Hwnd()));
}

TEST(Win32PanelTest, QueuedClickRunsInsideLetPendingMessagesRun) {
    win32::Form1 form;
    win32::Win32Panel panel(form);
    RecordingEvents events;
    form.SetEvents(&events);
    form.Show();
    ::PostMessageW(form.Hwnd(), WM_COMMAND, MAKEWPARAM(ui::IdOf(common::PanelControl::Command3), BN_CLICKED),
                   reinterpret_cast<LPARAM>(form.Control(common::PanelControl::Command3)));
    EXPECT_TRUE(events.received.empty());
    panel.LetPendingMessagesRun();
    ASSERT_EQ(events.received.size(), 1u);
    EXPECT_EQ(events.received.front().first, PanelControl::Command3);
}

// WM_PAINT of the subclassed control: counted in the int at `paints`, which on the first
// paint gets the window `clickTarget` (its subclass id) a click posted, as a click arrives
// during a wait.
LRESULT CALLBACK
CountPaintsAndClick(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR clickTarget, DWORD_PTR paints) {
    if (message == WM_PAINT && ++*reinterpret_cast<int*>(paints) == 1) {
        ::PostMessageW(reinterpret_cast<HWND>(clickTarget), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        ::PostMessageW(reinterpret_cast<HWND>(clickTarget), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

// The busy wait's pause: clicks and keys queued before it or arriving during it never run, not
// even from a later message loop; a pressed edit box loses the mouse capture; paint runs.
TEST(Win32PanelTest, PauseDropsClicksAndKeysAndLetsPaintRun) {
    win32::Form1 form;
    RecordingEvents events;
    form.SetEvents(&events);
    form.Show();
    ::SetForegroundWindow(form.Hwnd());
    win32::LetPendingMessagesRun();
    const HWND edit = form.Control(PanelControl::Text3);  // takes the capture, raises no event
    ::SendMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    ::SetFocus(form.Control(PanelControl::Command8));
    ASSERT_EQ(::GetCapture(), edit);
    const HWND queuedClick = form.Control(PanelControl::Command3);
    const auto postKeyAndClick = [&] {
        ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
        ::PostMessageW(queuedClick, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        ::PostMessageW(queuedClick, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    };
    postKeyAndClick();
    const HWND label = form.Control(PanelControl::Label2);
    const auto clickedDuringWait = reinterpret_cast<UINT_PTR>(form.Control(PanelControl::Command5));
    int paints = 0;
    ASSERT_TRUE(
        ::SetWindowSubclass(label, CountPaintsAndClick, clickedDuringWait, reinterpret_cast<DWORD_PTR>(&paints)));
    ::InvalidateRect(label, nullptr, TRUE);

    win32::PauseLettingPaintRun(host::kBusyRetryPauseMs);

    EXPECT_GE(paints, 1);
    EXPECT_EQ(::GetCapture(), nullptr);
    win32::LetPendingMessagesRun();
    EXPECT_TRUE(events.received.empty());
    ::RemoveWindowSubclass(label, CountPaintsAndClick, clickedDuringWait);
    // The same key and click outside a pause do run: what the pause dropped was live.
    postKeyAndClick();
    win32::LetPendingMessagesRun();
    const std::vector<std::pair<PanelControl, PanelEvent>> live = {{PanelControl::Command8, PanelEvent::Click},
                                                                   {PanelControl::Command3, PanelEvent::Click}};
    EXPECT_EQ(events.received, live);
    // The program's end is not input: a quit posted before a pause is still there after it.
    ::PostQuitMessage(7);
    win32::PauseLettingPaintRun(1);
    MSG quit{};
    ASSERT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
}

TEST(Win32PanelTest, TabWalksEveryControlThatTakesTheKeyboardInTableOrder) {
    win32::Form1 form;
    form.Show();
    std::vector<const ui::ControlSpec*> order;
    for (const ui::ControlSpec& control : ui::Form1Spec().controls) {
        if (control.kind != ui::ControlKind::Label && control.kind != ui::ControlKind::Picture) {
            order.push_back(&control);
        }
    }
    ASSERT_GT(order.size(), 1u);
    ::SetForegroundWindow(form.Hwnd());
    ::SetFocus(::GetDlgItem(form.Hwnd(), order.front()->id));
    win32::LetPendingMessagesRun();
    ASSERT_EQ(::GetFocus(), ::GetDlgItem(form.Hwnd(), order.front()->id));
    // Round the whole order and back to the first control.
    for (std::size_t i = 1; i <= order.size(); ++i) {
        const ui::ControlSpec& next = *order[i % order.size()];
        SCOPED_TRACE(std::string(next.name));
        ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        ::PostMessageW(::GetFocus(), WM_KEYUP, VK_TAB, 0xC0000000);
        win32::LetPendingMessagesRun();
        EXPECT_EQ(::GetFocus(), ::GetDlgItem(form.Hwnd(), next.id));
    }
}

TEST(Win32PanelTest, EnterPressesTheFocusedColouredButton) {
    win32::Form1 form;
    RecordingEvents events;
    form.SetEvents(&events);
    form.Show();
    ::SetForegroundWindow(form.Hwnd());
    ::SetFocus(form.Control(common::PanelControl::Command8));
    ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
    win32::LetPendingMessagesRun();
    ::SetFocus(form.Control(common::PanelControl::Text3));
    ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
    win32::LetPendingMessagesRun();
    ASSERT_EQ(events.received.size(), 1u) << "Enter in a text box runs nothing";
    EXPECT_EQ(events.received.front(), std::make_pair(PanelControl::Command8, PanelEvent::Click));
}

}  // namespace
