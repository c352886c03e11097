#include "host/Placement.h"

#include <cmath>
#include <limits>

namespace host {
namespace {

// Round half to even without depending on the floating-point environment's rounding mode.
double RoundHalfEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction < 0.5) {
        return lower;
    }
    if (fraction > 0.5) {
        return lower + 1.0;
    }
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

}  // namespace

std::int16_t RoundHalfEvenTo16(double value) {
    if (std::isnan(value)) {
        throw PlacementOverflow("placement value is not a number");
    }
    const double rounded = RoundHalfEven(value);
    if (rounded < std::numeric_limits<std::int16_t>::min() || rounded > std::numeric_limits<std::int16_t>::max()) {
        throw PlacementOverflow("placement value outside the 16-bit pixel range");
    }
    return static_cast<std::int16_t>(rounded);
}

std::int16_t TwipsToPixels16(float twips, float twipsPerPixel) {
    // The quotient of two singles is formed in double so no extra rounding step hides a half.
    return RoundHalfEvenTo16(static_cast<double>(twips) / static_cast<double>(twipsPerPixel));
}

FormPixels PlaceFormPixels(const FormTwips& form, const ScreenTwips& screen) {
    FormPixels pixels;
    pixels.xPixels = TwipsToPixels16(form.leftTwips, screen.TwipsPerPixelX());
    pixels.yPixels = TwipsToPixels16(form.topTwips, screen.TwipsPerPixelY());
    pixels.cxPixels = TwipsToPixels16(form.widthTwips, screen.TwipsPerPixelX());
    pixels.cyPixels = TwipsToPixels16(form.heightTwips, screen.TwipsPerPixelY());
    return pixels;
}

InsertAfter ChooseInsertAfter(bool topMost, bool atBottom) {
    if (atBottom) {
        return InsertAfter::Bottom;
    }
    return topMost ? InsertAfter::TopMost : InsertAfter::NoTopMost;
}

std::int32_t ControlTwipsToPixels(std::int32_t twips, float twipsPerPixel) {
    return static_cast<std::int32_t>(RoundHalfEven(static_cast<double>(twips) / static_cast<double>(twipsPerPixel)));
}

float TwipsPerPixelForDpi(int dotsPerInch) {
    return dotsPerInch > 0 ? 1440.0f / static_cast<float>(dotsPerInch) : 15.0f;
}

}  // namespace host
