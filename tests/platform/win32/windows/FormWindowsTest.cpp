// The three windows as Windows sees them: class, frame, client size and every control's
// rectangle read back in twips, z-order placement and docking.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "WindowTestSupport.h"
#include "platform/win32/app/StartupPlatform.h"
#include "platform/win32/com/ComDispatcher.h"
#include "platform/win32/windows/Form1.h"
#include "platform/win32/windows/Form2.h"
#include "platform/win32/windows/Modal.h"
#include "platform/win32/windows/MyInfoBox.h"
#include "platform/win32/windows/PlaceForm.h"
#include "ui/ControlTables.h"

namespace {

using window_test::ControlTwips;
using window_test::TwipsBox;

void ExpectGeometryMatchesTable(HWND form, const ui::FormSpec& spec, std::uint16_t (*idOf)(const ui::ControlSpec&)) {
    EXPECT_EQ(window_test::ClassNameOf(form), L"ThunderRT6FormDC");
    const TwipsBox client = window_test::ClientTwips(form);
    EXPECT_EQ(client.width, spec.clientWidthTwips);
    EXPECT_EQ(client.height, spec.clientHeightTwips);
    for (const ui::ControlSpec& control : spec.controls) {
        SCOPED_TRACE(std::string(control.name));
        const HWND hwnd = ::GetDlgItem(form, idOf(control));
        ASSERT_NE(hwnd, nullptr);
        const TwipsBox box = ControlTwips(hwnd);
        EXPECT_EQ(box.left, control.rect.leftTwips);
        EXPECT_EQ(box.top, control.rect.topTwips);
        EXPECT_EQ(box.width, control.rect.widthTwips);
        EXPECT_EQ(box.height, control.rect.heightTwips);
        EXPECT_NE(::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE, 0);
        EXPECT_TRUE(::IsWindowEnabled(hwnd));
    }
}

std::uint16_t IdOfControl(const ui::ControlSpec& control) {
    return control.id;
}

LONG_PTR StyleOf(HWND hwnd) {
    return ::GetWindowLongPtrW(hwnd, GWL_STYLE);
}

LONG_PTR ExStyleOf(HWND hwnd) {
    return ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
}

TEST(FormWindowsTest, PanelMatchesItsTableAndStartsAsAFreshPanel) {
    win32::Form1 form;
    ExpectGeometryMatchesTable(form.Hwnd(), ui::Form1Spec(), &IdOfControl);

    const LONG_PTR style = StyleOf(form.Hwnd());
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(ExStyleOf(form.Hwnd()) & WS_EX_CONTROLPARENT, 0);

    const HWND list = form.Control(common::PanelControl::List1);
    const LONG_PTR listStyle = StyleOf(list);
    EXPECT_NE(listStyle & LBS_NOTIFY, 0);
    EXPECT_EQ(listStyle & (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL), 0);
    EXPECT_EQ(::SendMessageW(form.Control(common::PanelControl::Check1), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(::GetWindowTextLengthW(form.Control(common::PanelControl::Label2)), 0);
    EXPECT_NE(::SendMessageW(form.Hwnd(), WM_GETICON, ICON_BIG, 0), 0) << "the panel carries the tool's icon";
}

TEST(FormWindowsTest, LoadStepRunsOnceBeforeThePanelIsFirstShown) {
    win32::Form1 form;
    int runs = 0;
    bool visibleDuringLoad = true;
    form.SetLoadStep([&] {
        ++runs;
        visibleDuringLoad = ::IsWindowVisible(form.Hwnd()) != FALSE;
    });
    EXPECT_TRUE(form.Show());
    EXPECT_TRUE(form.Show());
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(visibleDuringLoad);
    EXPECT_TRUE(::IsWindowVisible(form.Hwnd()));
}

TEST(FormWindowsTest, LoadStepThatClosesThePanelShowsNothing) {
    win32::Form1 form;
    bool gone = false;
    form.SetGoneStep([&] { gone = true; });
    form.SetLoadStep([&] { ::DestroyWindow(form.Hwnd()); });
    EXPECT_FALSE(form.Show());
    EXPECT_TRUE(gone);
    EXPECT_EQ(form.Hwnd(), nullptr);
}

TEST(FormWindowsTest, InfoBoxMatchesItsTableWithoutTitleBarAndLoadsTopmost) {
    win32::Form1 panel;
    win32::MyInfoBox box(panel.Hwnd());
    ExpectGeometryMatchesTable(box.Hwnd(), ui::MyInfoBoxSpec(), &IdOfControl);
    const LONG_PTR style = StyleOf(box.Hwnd());
    EXPECT_NE(style & WS_DLGFRAME, 0);
    EXPECT_EQ(style & (WS_BORDER | WS_SYSMENU | WS_THICKFRAME), 0) << "no title bar, not sizable";
    EXPECT_NE(ExStyleOf(box.Hwnd()) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(::GetWindow(box.Hwnd(), GW_OWNER), panel.Hwnd());
}

TEST(FormWindowsTest, InfoBoxIsCentredOverItsOwner) {
    win32::Form1 panel;
    ::SetWindowPos(panel.Hwnd(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    win32::MyInfoBox box(panel.Hwnd());
    RECT owner{};
    RECT placed{};
    ::GetWindowRect(panel.Hwnd(), &owner);
    ::GetWindowRect(box.Hwnd(), &placed);
    EXPECT_NEAR((owner.left + owner.right) / 2, (placed.left + placed.right) / 2, 1);
    EXPECT_NEAR((owner.top + owner.bottom) / 2, (placed.top + placed.bottom) / 2, 1);
}

TEST(FormWindowsTest, InfoBoxWithoutOwnerIsCentredOnTheScreen) {
    win32::MyInfoBox box(nullptr);
    RECT work{};
    RECT placed{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ::GetWindowRect(box.Hwnd(), &placed);
    EXPECT_NEAR((work.left + work.right) / 2, (placed.left + placed.right) / 2, 1);
    EXPECT_NEAR((work.top + work.bottom) / 2, (placed.top + placed.bottom) / 2, 1);
}

TEST(FormWindowsTest, ChooserMatchesItsTableWithSizableBorderAndNoChoiceMade) {
    win32::Form1 panel;
    ::SetWindowPos(panel.Hwnd(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Where the system puts a new window that asks for the default position.
    RECT defaultPlace{};
    {
        const HWND probe = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100,
                                             nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(probe, nullptr);
        ::GetWindowRect(probe, &defaultPlace);
        ::DestroyWindow(probe);
    }
    std::int16_t hostVersion = 4;
    win32::Form2 chooser(panel.Hwnd(), hostVersion);
    ExpectGeometryMatchesTable(chooser.Hwnd(), ui::Form2Spec(), &IdOfControl);
    RECT placed{};
    ::GetWindowRect(chooser.Hwnd(), &placed);
    EXPECT_EQ(placed.left, defaultPlace.left) << "the default position, not centred over the panel";
    EXPECT_EQ(placed.top, defaultPlace.top);
    const LONG_PTR style = StyleOf(chooser.Hwnd());
    EXPECT_NE(style & WS_THICKFRAME, 0);
    EXPECT_NE(style & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(style & WS_SYSMENU, 0);
    EXPECT_NE(ExStyleOf(chooser.Hwnd()) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(hostVersion, 0) << "loading the chooser resets the choice";
    EXPECT_EQ(::SendMessageW(chooser.Control(ui::kForm2Option1Id), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(::SendMessageW(chooser.Control(ui::kForm2Option2Id), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST(FormWindowsTest, ChooserLeavesTheClickedVersionAndClosesItself) {
    static const struct {
        const char* name;
        std::uint16_t option;  // 0: closed with Alt+F4 (WM_CLOSE) instead
        std::int16_t expected;
    } kCases[] = {
        {"Rhino3", ui::kForm2Option1Id, 3},
        {"Rhino4", ui::kForm2Option2Id, 4},
        {"closed without a choice", 0, 0},
    };
    win32::Form1 panel;
    panel.Show();
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        HWND chooser = nullptr;
        bool panelDisabled = false;
        window_test::RunFromMessageLoop([&] {
            const auto forms = window_test::VisibleForms(panel.Hwnd());
            ASSERT_EQ(forms.size(), 1u);
            chooser = forms.front();
            panelDisabled = ::IsWindowEnabled(panel.Hwnd()) == FALSE;
            if (c.option != 0) {
                ::PostMessageW(::GetDlgItem(chooser, c.option), BM_CLICK, 0, 0);
            } else {
                ::PostMessageW(chooser, WM_CLOSE, 0, 0);
            }
        });
        EXPECT_EQ(win32::ShowChooser(panel.Hwnd()), c.expected);
        window_test::CancelPendingActions();
        EXPECT_TRUE(panelDisabled);
        EXPECT_TRUE(::IsWindowEnabled(panel.Hwnd()));
        EXPECT_FALSE(::IsWindow(chooser));
    }
}

TEST(FormWindowsTest, PlaceFormKeepsTheRectangleAndSetsTheZOrder) {
    win32::Form1 form;
    ::SetWindowPos(form.Hwnd(), nullptr, 120, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT before{};
    ::GetWindowRect(form.Hwnd(), &before);

    win32::PlaceForm(form.Hwnd(), true, false);
    RECT after{};
    ::GetWindowRect(form.Hwnd(), &after);
    EXPECT_TRUE(::EqualRect(&before, &after));
    EXPECT_NE(ExStyleOf(form.Hwnd()) & WS_EX_TOPMOST, 0);

    win32::PlaceForm(form.Hwnd(), false, false);
    EXPECT_EQ(ExStyleOf(form.Hwnd()) & WS_EX_TOPMOST, 0);
    ::GetWindowRect(form.Hwnd(), &after);
    EXPECT_TRUE(::EqualRect(&before, &after));
}

// A screen whose twips per pixel drops after the window's rectangle has been read, as a
// display change between the reads would do.
class ShrinkingScreen : public host::ScreenTwips {
  public:
    float TwipsPerPixelX() const override { return Next(); }
    float TwipsPerPixelY() const override { return Next(); }
    mutable int reads = 0;

  private:
    float Next() const { return ++reads <= 2 ? 15.0f : 0.001f; }
};

TEST(FormWindowsTest, PlaceFormOverflowLeavesTheWindowUnchanged) {
    win32::Form1 form;
    ::SetWindowPos(form.Hwnd(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT before{};
    ::GetWindowRect(form.Hwnd(), &before);
    const ShrinkingScreen screen;
    EXPECT_THROW(win32::PlaceForm(form.Hwnd(), true, false, screen), host::PlacementOverflow);
    EXPECT_EQ(screen.reads, 3) << "stops at the first division that overflows";
    RECT after{};
    ::GetWindowRect(form.Hwnd(), &after);
    EXPECT_TRUE(::EqualRect(&before, &after));
    EXPECT_EQ(ExStyleOf(form.Hwnd()) & WS_EX_TOPMOST, 0);
}

TEST(FormWindowsTest, DockingMakesThePanelAChildAndModalBoxesDisableOnlyThePanel) {
    win32::Form1 panel;
    // A stand-in for the host's main window (in this process, so it is drawn and testable).
    const HWND host = ::CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600,
                                        nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(host, nullptr);

    // Docked as start-up docks it, the host window crossing as its 32-bit handle.
    win32::ComObjectCreator creator;
    win32::StartupPlatform startup(panel.Hwnd(), creator);
    startup.Dock(0);
    EXPECT_EQ(::GetAncestor(panel.Hwnd(), GA_PARENT), ::GetDesktopWindow()) << "a null host leaves it top-level";

    startup.Dock(static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(host)));
    EXPECT_EQ(::GetAncestor(panel.Hwnd(), GA_PARENT), host);
    EXPECT_EQ(win32::ModalDisabledWindow(panel.Hwnd()), panel.Hwnd());
    EXPECT_EQ(win32::ModalDisabledWindow(panel.Control(common::PanelControl::Command4)), panel.Hwnd());

    bool panelDisabled = false;
    bool hostEnabled = false;
    window_test::RunFromMessageLoop([&] {
        panelDisabled = ::IsWindowEnabled(panel.Hwnd()) == FALSE;
        hostEnabled = ::IsWindowEnabled(host) != FALSE;
        for (HWND form : window_test::VisibleForms(panel.Hwnd())) {
            ::PostMessageW(::GetDlgItem(form, ui::kInfoBoxOkId), BM_CLICK, 0, 0);
        }
    });
    win32::ShowInfoBox(panel.Hwnd(), "Selected curve is not in the XY plane");
    window_test::CancelPendingActions();
    EXPECT_TRUE(panelDisabled);
    EXPECT_TRUE(hostEnabled);
    EXPECT_TRUE(::IsWindowEnabled(panel.Hwnd()));

    startup.Dock(0);
    ::DestroyWindow(host);
}

}  // namespace
