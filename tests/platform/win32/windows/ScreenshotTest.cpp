// Pictures of the three windows as drawn at the screen's DPI, saved as BMP files, with
// the measurable parts checked: sizes, button faces, backgrounds and the logo.
#include <gtest/gtest.h>

#include "WindowTestSupport.h"
#include "platform/win32/windows/Form1.h"
#include "platform/win32/windows/Form2.h"
#include "platform/win32/windows/MessageLoop.h"
#include "platform/win32/windows/MyInfoBox.h"
#include "platform/win32/windows/PlaceForm.h"
#include "platform/win32/windows/Win32Panel.h"
#include "ui/ControlTables.h"

namespace {

// A point of a button's face just inside its raised edge (two pixels, plus one for the
// focus frame), clear of the focus rectangle four pixels in and of the centred caption.
POINT FacePoint(HWND control) {
    const RECT rect = window_test::RectInWindow(control);
    return POINT{rect.left + 3, rect.top + 3};
}

TEST(ScreenshotTest, PanelShowsItsColouredButtonsAndLogo) {
    win32::Form1 form;
    win32::Win32Panel panel(form);
    ::SetWindowTextW(form.Hwnd(), L"Curtate Cycloid curve V2 by Vendrel");
    ::SetWindowPos(form.Hwnd(), nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    panel.ListAppend("5f0c2d1e-7a44-4c1b-8e0d-3b9a6c2f1e07");
    panel.SetFieldText(common::PanelControl::Text1, "0b7c2a9e-61d3-4f0a-b2c5-98e4d1a07f3c");
    panel.SetStatusCaption("Curtate cycloid - DONE!");
    panel.SetStatusColor(common::kStatusBlue);
    form.Show();
    ::SetForegroundWindow(form.Hwnd());
    ::SetFocus(form.Control(common::PanelControl::Command5));
    win32::LetPendingMessagesRun();

    const window_test::Capture picture(form.Hwnd());
    RECT outer{};
    ::GetWindowRect(form.Hwnd(), &outer);
    EXPECT_EQ(picture.Width(), outer.right - outer.left);
    EXPECT_TRUE(picture.SaveBmp(window_test::ScreenshotPath(L"panel.bmp")));

    const COLORREF green = RGB(192, 255, 192);
    for (const common::PanelControl id :
         {common::PanelControl::Command6, common::PanelControl::Command7, common::PanelControl::Command8}) {
        const POINT at = FacePoint(form.Control(id));
        EXPECT_EQ(picture.At(at.x, at.y), green) << "button " << static_cast<int>(id);
    }
    const POINT orange = FacePoint(form.Control(common::PanelControl::Command4));
    EXPECT_EQ(picture.At(orange.x, orange.y), RGB(255, 224, 192));
    const POINT standard = FacePoint(form.Control(common::PanelControl::Command5));
    EXPECT_NE(picture.At(standard.x, standard.y), green);

    // The logo: blue arch pixels inside Pic1, none of them scaled outside it.
    const RECT logo = window_test::RectInWindow(form.Control(common::PanelControl::Pic1));
    EXPECT_GT(picture.CountColor(logo, RGB(0, 0, 255)), 30);
    EXPECT_GT(picture.CountColor(window_test::RectInWindow(form.Control(common::PanelControl::Label2)), RGB(0, 0, 255)),
              20);
}

TEST(ScreenshotTest, InfoBoxShowsGreyBackgroundRedOkAndTheWrappedMessage) {
    win32::Form1 panel;
    ::SetWindowPos(panel.Hwnd(), nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    panel.Show();
    bool checked = false;
    window_test::RunFromMessageLoop(
        [&] {
            const auto forms = window_test::VisibleForms(panel.Hwnd());
            ASSERT_EQ(forms.size(), 1u);
            const HWND box = forms.front();
            ::UpdateWindow(box);
            const window_test::Capture picture(box);
            EXPECT_TRUE(picture.SaveBmp(window_test::ScreenshotPath(L"infobox.bmp")));
            RECT client{};
            ::GetClientRect(box, &client);
            EXPECT_EQ(client.right, win32::TwipsToPixelsX(4470));
            const POINT ok = FacePoint(::GetDlgItem(box, ui::kInfoBoxOkId));
            EXPECT_EQ(picture.At(ok.x, ok.y), RGB(255, 128, 128));
            const RECT label = window_test::RectInWindow(::GetDlgItem(box, ui::kInfoBoxLabel1Id));
            EXPECT_EQ(picture.At(label.right - 2, label.bottom - 2), RGB(192, 192, 192));
            // Text reaches the label's second line: the message was wrapped, not cut.
            const int lineHeight = 13 * win32::TwipsToPixelsY(1440) / 96;
            const RECT secondLine{label.left, label.top + lineHeight, label.right, label.top + 2 * lineHeight};
            EXPECT_GT(picture.CountColor(secondLine, RGB(0, 0, 0)), 10);
            const RECT logo = window_test::RectInWindow(::GetDlgItem(box, ui::kInfoBoxPic1Id));
            EXPECT_GT(picture.CountColor(logo, RGB(0, 0, 255)), 30);
            checked = true;
            ::PostMessageW(::GetDlgItem(box, ui::kInfoBoxOkId), BM_CLICK, 0, 0);
        },
        300);
    win32::ShowInfoBox(panel.Hwnd(), "No intersection found, make sure curve and points are cooplanar in XY and YZ");
    window_test::CancelPendingActions();
    EXPECT_TRUE(checked);
}

TEST(ScreenshotTest, ChooserIsLightGreen) {
    win32::Form1 panel;
    ::SetWindowPos(panel.Hwnd(), nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    panel.Show();
    bool checked = false;
    window_test::RunFromMessageLoop(
        [&] {
            const auto forms = window_test::VisibleForms(panel.Hwnd());
            ASSERT_EQ(forms.size(), 1u);
            const HWND chooser = forms.front();
            ::UpdateWindow(chooser);
            const window_test::Capture picture(chooser);
            EXPECT_TRUE(picture.SaveBmp(window_test::ScreenshotPath(L"chooser.bmp")));
            RECT client{};
            ::GetClientRect(chooser, &client);
            EXPECT_EQ(client.right, win32::TwipsToPixelsX(3525));
            POINT corner{client.right - 3, client.bottom - 3};
            ::MapWindowPoints(chooser, nullptr, &corner, 1);
            RECT outer{};
            ::GetWindowRect(chooser, &outer);
            EXPECT_EQ(picture.At(corner.x - outer.left, corner.y - outer.top), RGB(192, 255, 192));
            const RECT option = window_test::RectInWindow(::GetDlgItem(chooser, ui::kForm2Option2Id));
            EXPECT_EQ(picture.At(option.right - 2, option.bottom - 2), RGB(192, 255, 192));
            checked = true;
            ::PostMessageW(chooser, WM_CLOSE, 0, 0);
        },
        300);
    EXPECT_EQ(win32::ShowChooser(panel.Hwnd()), 0);
    window_test::CancelPendingActions();
    EXPECT_TRUE(checked);
}

}  // namespace
