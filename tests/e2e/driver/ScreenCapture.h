#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/base/WinInclude.h"

namespace driver {

// A copy of the screen's pixels (what the X display shows under Wine), 32 bits per pixel,
// top row first.
class ScreenImage {
  public:
    // Copies the whole primary screen; throws std::runtime_error when GDI refuses.
    static ScreenImage Capture();

    int Width() const { return width_; }
    int Height() const { return height_; }
    // The pixel at screen position (x, y) as RGB(r, g, b); 0 outside the image.
    COLORREF At(int x, int y) const;
    // How many pixels inside `screenRect` satisfy `match`.
    template <typename Match>
    int Count(const RECT& screenRect, Match&& match) const {
        int n = 0;
        for (int y = screenRect.top; y < screenRect.bottom; ++y) {
            for (int x = screenRect.left; x < screenRect.right; ++x) {
                if (x >= 0 && y >= 0 && x < width_ && y < height_ && match(At(x, y))) {
                    ++n;
                }
            }
        }
        return n;
    }
    // Writes the image as a 24-bit BMP file; false when the file cannot be written.
    bool SaveBmp(const std::wstring& path) const;

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;  // 0x00RRGGBB
};

// True for a pixel close to the colour (each component within `slack`).
bool NearColour(COLORREF pixel, int red, int green, int blue, int slack = 40);

}  // namespace driver
