#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <iterator>

#include "platform/win32/base/UniqueHandle.h"
#include "platform/win32/windows/PlaceForm.h"
#include "platform/win32/windows/WindowClass.h"

namespace window_test {
namespace {

std::function<void()>& PendingAction() {
    static std::function<void()> action;
    return action;
}

UINT_PTR& ActionTimer() {
    static UINT_PTR timer = 0;
    return timer;
}

UINT_PTR& RescueTimer() {
    static UINT_PTR timer = 0;
    return timer;
}

void CALLBACK RescueTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    (void)::KillTimer(nullptr, RescueTimer());
    RescueTimer() = 0;
    for (HWND form : VisibleForms()) {
        // Only boxes and choosers run modally; the panel is never the one left open.
        const LONG_PTR exStyle = ::GetWindowLongPtrW(form, GWL_EXSTYLE);
        if ((exStyle & WS_EX_TOPMOST) != 0 && ::GetWindow(form, GW_OWNER) != nullptr) {
            ADD_FAILURE() << "a modal window was still open after 10 s";
        }
        ::DestroyWindow(form);
    }
}

void CALLBACK ActionTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    (void)::KillTimer(nullptr, ActionTimer());
    ActionTimer() = 0;
    std::function<void()> action = std::move(PendingAction());
    PendingAction() = nullptr;
    if (action) {
        action();
    }
}

}  // namespace

TwipsBox ClientTwips(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    return {0, 0, win32::PixelsToTwipsX(client.right), win32::PixelsToTwipsY(client.bottom)};
}

TwipsBox ControlTwips(HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return {win32::PixelsToTwipsX(rect.left), win32::PixelsToTwipsY(rect.top),
            win32::PixelsToTwipsX(rect.right - rect.left), win32::PixelsToTwipsY(rect.bottom - rect.top)};
}

std::wstring ClassNameOf(HWND hwnd) {
    wchar_t name[128] = {};
    ::GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
    return name;
}

void RunFromMessageLoop(std::function<void()> action, UINT delayMs) {
    PendingAction() = std::move(action);
    ActionTimer() = ::SetTimer(nullptr, 0, delayMs, &ActionTimerProc);
    if (RescueTimer() == 0) {
        RescueTimer() = ::SetTimer(nullptr, 0, 10000, &RescueTimerProc);
    }
}

void CancelPendingActions() {
    if (ActionTimer() != 0) {
        ::KillTimer(nullptr, ActionTimer());
        ActionTimer() = 0;
    }
    if (RescueTimer() != 0) {
        ::KillTimer(nullptr, RescueTimer());
        RescueTimer() = 0;
    }
    PendingAction() = nullptr;
}

namespace {

struct VisibleFormSearch {
    HWND except;
    std::vector<HWND> found;
};

// Collects a visible panel window other than the excepted one (an EnumThreadWindows callback:
// a named function, since only it can have the callback's calling convention on 32-bit Windows).
BOOL CALLBACK CollectVisibleForm(HWND hwnd, LPARAM data) {
    auto* s = reinterpret_cast<VisibleFormSearch*>(data);
    if (hwnd != s->except && ::IsWindowVisible(hwnd) && ClassNameOf(hwnd) == win32::FormClassName()) {
        s->found.push_back(hwnd);
    }
    return TRUE;
}

}  // namespace

std::vector<HWND> VisibleForms(HWND except) {
    VisibleFormSearch search{except, {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectVisibleForm, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

Capture::Capture(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    width_ = rect.right - rect.left;
    height_ = rect.bottom - rect.top;
    const int stride = ((width_ * 3) + 3) & ~3;
    bgr_.assign(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height_), 0);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    // Read from the screen, so the picture shows what the user sees, title bar included.
    const win32::UniqueWindowDc windowDc = win32::HwndGetDc(nullptr);
    const win32::UniqueMemoryDc memory(::CreateCompatibleDC(windowDc.Get().hdc));
    const win32::UniqueGdiObject dib(::CreateDIBSection(windowDc.Get().hdc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!windowDc.IsValid() || !memory.IsValid() || !dib.IsValid()) {
        return;
    }
    {
        const win32::SelectionScope selected(memory.Get(), dib.Get());
        ::BitBlt(memory.Get(), 0, 0, width_, height_, windowDc.Get().hdc, rect.left, rect.top, SRCCOPY);
        ::GdiFlush();
        const auto* source = static_cast<const unsigned char*>(bits);
        std::copy(source, source + bgr_.size(), bgr_.begin());
    }
}

COLORREF Capture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return CLR_INVALID;
    }
    const int stride = ((width_ * 3) + 3) & ~3;
    const std::size_t at =
        static_cast<std::size_t>(y) * static_cast<std::size_t>(stride) + static_cast<std::size_t>(x) * 3;
    return RGB(bgr_[at + 2], bgr_[at + 1], bgr_[at]);
}

int Capture::CountColor(const RECT& rect, COLORREF color) const {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            count += At(x, y) == color ? 1 : 0;
        }
    }
    return count;
}

bool Capture::SaveBmp(const std::wstring& path) const {
    if (width_ <= 0 || height_ <= 0) {
        return false;
    }
    const int stride = ((width_ * 3) + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width_;
    header.biHeight = height_;  // bottom-up, as BMP files usually are
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(bgr_.size());
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + header.biSizeImage;
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (out == nullptr) {
        return false;
    }
    bool written = std::fwrite(&file, sizeof(file), 1, out) == 1 && std::fwrite(&header, sizeof(header), 1, out) == 1;
    for (int y = height_ - 1; written && y >= 0; --y) {
        written = std::fwrite(bgr_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride), 1,
                              static_cast<std::size_t>(stride), out) == static_cast<std::size_t>(stride);
    }
    return std::fclose(out) == 0 && written;
}

std::wstring ScreenshotPath(const wchar_t* fileName) {
    std::wstring directory;
    if (const wchar_t* fromEnvironment = _wgetenv(L"CURTATE_SCREENSHOT_DIR"); fromEnvironment != nullptr) {
        directory = fromEnvironment;
    } else {
        wchar_t exe[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
        directory = exe;
        directory.resize(directory.find_last_of(L"\\/") + 1);
        directory += L"screenshots";
    }
    ::CreateDirectoryW(directory.c_str(), nullptr);  // may exist already
    return directory + L"\\" + fileName;
}

RECT RectInWindow(HWND control) {
    RECT rect{};
    RECT window{};
    ::GetWindowRect(control, &rect);
    ::GetWindowRect(::GetAncestor(control, GA_ROOT), &window);
    ::OffsetRect(&rect, -window.left, -window.top);
    return rect;
}

}  // namespace window_test
