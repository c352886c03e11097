#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>

namespace host {

// A window's position and size in twips as the tool keeps them: Left and Top from the
// screen's top-left corner, Width and Height the outer size, borders included.
struct FormTwips {
    float leftTwips = 0;
    float topTwips = 0;
    float widthTwips = 0;
    float heightTwips = 0;
};

// The pixel values handed to the platform's SetWindowPos.
struct FormPixels {
    std::int16_t xPixels = 0;
    std::int16_t yPixels = 0;
    std::int16_t cxPixels = 0;
    std::int16_t cyPixels = 0;
    friend bool operator==(const FormPixels&, const FormPixels&) = default;
};

// The screen's current twips per pixel, asked again at every use: the value can change
// while the tool runs (a display setting), so nothing caches it.
class ScreenTwips {
  public:
    virtual ~ScreenTwips() = default;
    virtual float TwipsPerPixelX() const = 0;
    virtual float TwipsPerPixelY() const = 0;
};

// The z-order place that SetWindowPos is given, with the platform's handle values.
enum class InsertAfter : std::int32_t { Bottom = 1, TopMost = -1, NoTopMost = -2 };

// A quotient that does not fit a 16-bit signed pixel value; the window must be left as it is.
class PlacementOverflow : public std::overflow_error {
  public:
    using std::overflow_error::overflow_error;
};

// Rounds to the nearest integer with halves going to the even neighbour (2.5 -> 2,
// 3.5 -> 4) and checks the 16-bit signed range. Throws PlacementOverflow when the
// rounded value is outside -32768...32767 or the value is not a number.
std::int16_t RoundHalfEvenTo16(double value);

// Twips divided by twips per pixel, rounded half to even into 16 bits (see above).
std::int16_t TwipsToPixels16(float twips, float twipsPerPixel);

// The four divisions of PlaceForm in the order x, y, cx, cy; the screen is read anew
// before each. Throws PlacementOverflow before any result is returned.
FormPixels PlaceFormPixels(const FormTwips& form, const ScreenTwips& screen);

// AtBottom wins over TopMost.
InsertAfter ChooseInsertAfter(bool topMost, bool atBottom);

// A control's twips value converted to whole pixels for the platform (rounded to the
// nearest pixel, halves to even). Control geometry is small, so no range check is needed
// beyond the 32-bit result.
std::int32_t ControlTwipsToPixels(std::int32_t twips, float twipsPerPixel);

// Twips per pixel for a screen of `dotsPerInch` (15 at 96).
float TwipsPerPixelForDpi(int dotsPerInch);

}  // namespace host
