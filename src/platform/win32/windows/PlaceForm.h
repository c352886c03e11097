#pragma once

#include "host/Placement.h"
#include "platform/win32/base/WinInclude.h"

namespace win32 {

// The display's twips per pixel, 1440 / GetDeviceCaps(LOGPIXELSX or LOGPIXELSY), read
// from the screen at every call. With the system-DPI-aware manifest this follows the
// screen's setting (15 at 96 dots per inch, 12 at 120).
class DisplayTwips : public host::ScreenTwips {
  public:
    float TwipsPerPixelX() const override;
    float TwipsPerPixelY() const override;
};

// Makes `window` topmost (or not, or bottom) while re-applying its own position and size:
// reads its rectangle in twips, converts it back to pixels with host::PlaceFormPixels and
// calls SetWindowPos(window, insert-after, x, y, cx, cy, 0), which also activates it.
// AtBottom wins over TopMost. Throws host::PlacementOverflow, before the window is
// touched, when a value does not fit 16 bits.
void PlaceForm(HWND window, bool topMost, bool atBottom);

// The same with the screen's twips per pixel taken from `screen`: read once per axis to
// express the window's rectangle in twips, then anew before each of the four divisions.
void PlaceForm(HWND window, bool topMost, bool atBottom, const host::ScreenTwips& screen);

// The top-left corner of a window of `size` pixels centred over `owner`'s window
// rectangle, or over the primary screen's work area when there is no owner, moved as needed
// to lie within the work area of the monitor it lands on (so a box owned by a window near a
// screen edge keeps its buttons on screen).
POINT CentredPosition(HWND owner, SIZE size);

// A control or client value in twips as pixels of the current display.
int TwipsToPixelsX(int twips);
int TwipsToPixelsY(int twips);

// Pixels as twips of the current display, for reading geometry back.
int PixelsToTwipsX(int pixels);
int PixelsToTwipsY(int pixels);

}  // namespace win32
