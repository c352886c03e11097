#include "platform/win32/windows/FatalError.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "WindowTestSupport.h"
#include "platform/win32/base/WinInclude.h"

namespace {

// EnumThreadWindows' callback (stdcall, so no lambda in the 32-bit build): keeps the visible
// message box in the HWND that `found` points at.
BOOL CALLBACK KeepMessageBox(HWND window, LPARAM found) {
    if (window_test::ClassNameOf(window) == L"#32770" && ::IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
    }
    return TRUE;
}

// The program's last resort shows the failure in the system's message box before the program
// ends with its exit code.
TEST(FatalErrorTest, FailureIsShownInAMessageBoxAndTheExitCodeIsOne) {
    std::wstring caption;
    std::wstring text;
    window_test::RunFromMessageLoop([&] {
        HWND box = nullptr;
        (void)::EnumThreadWindows(::GetCurrentThreadId(), &KeepMessageBox, reinterpret_cast<LPARAM>(&box));
        ASSERT_NE(box, nullptr) << "no message box";
        wchar_t buffer[256] = {};
        (void)::GetWindowTextW(box, buffer, 256);
        caption = buffer;
        (void)::GetDlgItemTextW(box, 0xFFFF, buffer, 256);  // the message box's text control
        text = buffer;
        (void)::PostMessageW(box, WM_COMMAND, IDOK, 0);
    });

    EXPECT_EQ(win32::ReportFatalError(std::runtime_error("CoInitializeEx failed: 0x8001010E")), 1);

    EXPECT_EQ(caption, L"Curtate");
    EXPECT_EQ(text, L"Curtate could not run.\n\nCoInitializeEx failed: 0x8001010E");
}

}  // namespace
