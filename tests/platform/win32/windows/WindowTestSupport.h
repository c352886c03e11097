#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/base/WinInclude.h"
#include "ui/ControlTables.h"

namespace window_test {

// A control's or client area's rectangle read back from Windows, in twips.
struct TwipsBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The client area's size in twips (left and top 0).
TwipsBox ClientTwips(HWND window);
// A child control's rectangle relative to its parent's client area, in twips.
TwipsBox ControlTwips(HWND control);

std::wstring ClassNameOf(HWND hwnd);

// Runs `action` once from a timer of this thread, `delayMs` after the next message loop
// (a modal window's included) starts taking messages. If the modal window under test is
// still open 10 s later, every visible form of the thread except `keep` is destroyed, so
// a broken modal loop fails the test instead of hanging it.
void RunFromMessageLoop(std::function<void()> action, UINT delayMs = 100);
void CancelPendingActions();

// The visible windows of the form class on this thread, except `except`.
std::vector<HWND> VisibleForms(HWND except = nullptr);

// A window's picture as shown on the screen, read as 24-bit pixels.
class Capture {
  public:
    explicit Capture(HWND window);
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The colour of the pixel at window coordinates (x, y).
    COLORREF At(int x, int y) const;
    // How many pixels of the rectangle (window coordinates) have exactly `color`.
    int CountColor(const RECT& rect, COLORREF color) const;
    // Writes the picture as a bottom-up 24-bit BMP file; false when it cannot.
    bool SaveBmp(const std::wstring& path) const;

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<unsigned char> bgr_;  // top-down rows of 3 bytes per pixel, rows padded to 4
};

// Where screenshots go: CURTATE_SCREENSHOT_DIR, or "screenshots" beside the test program.
std::wstring ScreenshotPath(const wchar_t* fileName);

// A control's rectangle in its top-level window's coordinates (as Capture indexes them).
RECT RectInWindow(HWND control);

}  // namespace window_test
