#include "platform/win32/windows/PlaceForm.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/win32/base/UniqueHandle.h"

namespace win32 {
namespace {

int ScreenDpi(int axis) {
    const UniqueWindowDc screen = HwndGetDc(nullptr);
    if (!screen.IsValid()) {
        return 96;  // no screen DC: assume the common default rather than divide by zero
    }
    const int dpi = ::GetDeviceCaps(screen.Get().hdc, axis);
    return dpi > 0 ? dpi : 96;
}

}  // namespace

float DisplayTwips::TwipsPerPixelX() const {
    return host::TwipsPerPixelForDpi(ScreenDpi(LOGPIXELSX));
}

float DisplayTwips::TwipsPerPixelY() const {
    return host::TwipsPerPixelForDpi(ScreenDpi(LOGPIXELSY));
}

void PlaceForm(HWND window, bool topMost, bool atBottom) {
    PlaceForm(window, topMost, atBottom, DisplayTwips());
}

void PlaceForm(HWND window, bool topMost, bool atBottom, const host::ScreenTwips& screen) {
    RECT rect{};
    if (!::GetWindowRect(window, &rect)) {
        return;  // no such window: there is nothing to place
    }
    // The window's Left, Top, Width and Height as the tool keeps them, in twips.
    const float tppX = screen.TwipsPerPixelX();
    const float tppY = screen.TwipsPerPixelY();
    const host::FormTwips twips{static_cast<float>(rect.left) * tppX, static_cast<float>(rect.top) * tppY,
                                static_cast<float>(rect.right - rect.left) * tppX,
                                static_cast<float>(rect.bottom - rect.top) * tppY};
    // Throws before SetWindowPos when a value does not fit: the window stays as it is.
    const host::FormPixels pixels = host::PlaceFormPixels(twips, screen);
    const auto insertAfter = static_cast<std::intptr_t>(host::ChooseInsertAfter(topMost, atBottom));
    // The result is not examined: a window that cannot be placed stays where it is.
    (void)::SetWindowPos(window, reinterpret_cast<HWND>(insertAfter), pixels.xPixels, pixels.yPixels, pixels.cxPixels,
                         pixels.cyPixels, 0);
}

int TwipsToPixelsX(int twips) {
    return host::ControlTwipsToPixels(twips, DisplayTwips().TwipsPerPixelX());
}

int TwipsToPixelsY(int twips) {
    return host::ControlTwipsToPixels(twips, DisplayTwips().TwipsPerPixelY());
}

int PixelsToTwipsX(int pixels) {
    return static_cast<int>(std::lround(static_cast<double>(pixels) * DisplayTwips().TwipsPerPixelX()));
}

int PixelsToTwipsY(int pixels) {
    return static_cast<int>(std::lround(static_cast<double>(pixels) * DisplayTwips().TwipsPerPixelY()));
}

POINT CentredPosition(HWND owner, SIZE size) {
    RECT area{};
    if (owner != nullptr && ::GetWindowRect(owner, &area)) {
        // centred over the owner
    } else if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) {
        area = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    }
    POINT corner{area.left + (area.right - area.left - size.cx) / 2, area.top + (area.bottom - area.top - size.cy) / 2};

    // An owner near a screen edge must not push the box (and its only button) off screen.
    const RECT wanted{corner.x, corner.y, corner.x + size.cx, corner.y + size.cy};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (::GetMonitorInfoW(::MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        corner.x = std::max(work.left, std::min(corner.x, work.right - size.cx));
        corner.y = std::max(work.top, std::min(corner.y, work.bottom - size.cy));
    }
    return corner;
}

}  // namespace win32
