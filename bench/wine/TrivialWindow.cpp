// The reference program of the start-up measure: registers a window class, opens one visible
// top-level window and runs its message loop until the window is closed. Nothing else.
#include "platform/win32/base/WinInclude.h"

namespace {

LRESULT CALLBACK TrivialWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = TrivialWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = L"CurtateBenchTrivialWindow";
    if (::RegisterClassW(&windowClass) == 0) {
        return 1;
    }
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"Trivial", WS_OVERLAPPEDWINDOW, 100, 100, 320, 200,
                                    nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    (void)::ShowWindow(window, SW_SHOW);  // returns the previous visibility, not a failure
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        (void)::TranslateMessage(&message);  // tells only whether a character message was made
        (void)::DispatchMessageW(&message);  // the window procedure's result
    }
    return 0;
}
