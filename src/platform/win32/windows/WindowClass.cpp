#include "platform/win32/windows/WindowClass.h"

#include <commctrl.h>

#include <string>

#include "host/Startup.h"
#include "platform/win32/base/TextConversion.h"
#include "platform/win32/base/Win32Error.h"

namespace win32 {

const wchar_t* FormClassName() {
    static const std::wstring name = Utf8ToWide(host::kPanelWindowClass);
    return name.c_str();
}

void RegisterFormClass() {
    static const bool registered = [] {
        // Tooltips and the control subclassing helpers come from the common controls.
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        (void)::InitCommonControlsEx(&controls);  // the standard controls work without it

        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        // CS_DBLCLKS is left out: no double click has a handler.
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = &FormWindow::WindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        // Each form paints its own background colour at WM_ERASEBKGND.
        wc.hbrBackground = nullptr;
        wc.lpszClassName = FormClassName();
        ThrowLastErrorIf(::RegisterClassExW(&wc) == 0, "RegisterClassExW");
        return true;
    }();
    (void)registered;
}

FormWindow::~FormWindow() {
    if (hwnd_ != nullptr) {
        // Detach first: the derived part of this object is already gone, so the window's
        // last messages go to the default procedure.
        (void)::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        (void)::DestroyWindow(hwnd_);  // nothing more can be done if it fails
        hwnd_ = nullptr;
    }
}

void FormWindow::Destroy() {
    if (hwnd_ != nullptr) {
        (void)::DestroyWindow(hwnd_);  // WM_NCDESTROY clears hwnd_
    }
}

void FormWindow::CreateForm(DWORD exStyle,
                            DWORD style,
                            HWND owner,
                            int xPixels,
                            int yPixels,
                            int widthPixels,
                            int heightPixels) {
    RegisterFormClass();
    const HWND created = ::CreateWindowExW(exStyle, FormClassName(), L"", style, xPixels, yPixels, widthPixels,
                                           heightPixels, owner, nullptr, ::GetModuleHandleW(nullptr), this);
    ThrowLastErrorIf(created == nullptr, "CreateWindowExW");
}

LRESULT CALLBACK FormWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        (void)::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    try {
        result = self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // A guard, not a report: the panel's event router shows a failed command's message, so
        // only a failure of that report, or of a form's own drawing, arrives here. No exception
        // may unwind through the system's message dispatch; the message gets its default
        // handling instead.
        result = ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        (void)::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        try {
            self->OnWindowGone();
        } catch (...) {
            // the window is gone either way
        }
    }
    return result;
}

}  // namespace win32
