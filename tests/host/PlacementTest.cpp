#include "host/Placement.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A screen whose twips per pixel can change between reads; logs every read.
class ScriptedScreen : public host::ScreenTwips {
  public:
    explicit ScriptedScreen(std::vector<float> answers) : answers_(std::move(answers)) {}
    float TwipsPerPixelX() const override { return Next('X'); }
    float TwipsPerPixelY() const override { return Next('Y'); }
    mutable std::string reads;

  private:
    float Next(char axis) const {
        reads.push_back(axis);
        const float value = answers_[next_ % answers_.size()];
        ++next_;
        return value;
    }
    std::vector<float> answers_;
    mutable std::size_t next_ = 0;
};

TEST(PlacementTest, DividesEachValueByTheScreensTwipsPerPixel) {
    const ScriptedScreen screen({15.0f});
    const host::FormPixels pixels = host::PlaceFormPixels({1500, 3000, 4980, 3900}, screen);
    EXPECT_EQ(pixels, (host::FormPixels{100, 200, 332, 260}));
}

TEST(PlacementTest, ReadsTheScreenAnewBeforeEachDivisionInOrderXYCxCy) {
    // A display change between reads shows up in the later values only.
    const ScriptedScreen screen({15.0f, 15.0f, 12.0f, 12.0f});
    const host::FormPixels pixels = host::PlaceFormPixels({1500, 3000, 4980, 3900}, screen);
    EXPECT_EQ(screen.reads, "XYXY");
    EXPECT_EQ(pixels, (host::FormPixels{100, 200, 415, 325}));
}

TEST(PlacementTest, RoundsHalvesToTheEvenNeighbour) {
    static const struct {
        const char* name;
        float twips;
        std::int16_t expected;
    } kCases[] = {
        {"22.5 down to even", 337.5f, 22},   {"23.5 up to even", 352.5f, 24},  {"just above half", 338.0f, 23},
        {"negative -22.5", -337.5f, -22},    {"negative -23.5", -352.5f, -24}, {"zero", 0.0f, 0},
        {"largest value", 491505.0f, 32767}, {"smallest", -491520.0f, -32768}, {"0.5 to 0", 7.5f, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(host::TwipsToPixels16(c.twips, 15.0f), c.expected);
    }
}

TEST(PlacementTest, QuotientOutsideSixteenBitsThrowsOverflow) {
    static const struct {
        const char* name;
        host::FormTwips form;
        float twipsPerPixel;
    } kCases[] = {
        {"left just past 32767", {491520.0f, 0, 0, 0}, 15.0f}, {"32767.5 rounds to 32768", {491512.5f, 0, 0, 0}, 15.0f},
        {"top below -32768", {0, -491536.0f, 0, 0}, 15.0f},    {"height far off screen", {0, 0, 0, 1.0e9f}, 15.0f},
        {"zero twips per pixel", {15.0f, 0, 0, 0}, 0.0f},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const ScriptedScreen screen({c.twipsPerPixel});
        EXPECT_THROW(host::PlaceFormPixels(c.form, screen), host::PlacementOverflow);
    }
}

TEST(PlacementTest, NotANumberIsAnOverflowNotAGarbageValue) {
    EXPECT_THROW(host::TwipsToPixels16(0.0f, 0.0f), host::PlacementOverflow);
}

TEST(PlacementTest, InsertAfterChoiceLetsAtBottomWin) {
    static const struct {
        const char* name;
        bool topMost;
        bool atBottom;
        std::int32_t expected;
    } kCases[] = {
        {"at bottom and topmost", true, true, 1},
        {"at bottom only", false, true, 1},
        {"topmost", true, false, -1},
        {"neither", false, false, -2},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(static_cast<std::int32_t>(host::ChooseInsertAfter(c.topMost, c.atBottom)), c.expected);
    }
}

TEST(PlacementTest, ControlGeometryFollowsTheScreenDpi) {
    static const struct {
        const char* name;
        int dpi;
        std::int32_t twips;
        std::int32_t expected;
    } kCases[] = {
        {"96 dpi panel width", 96, 4860, 324},
        {"120 dpi panel width", 120, 4860, 405},
        {"144 dpi panel width", 144, 4860, 486},
        {"120 dpi, 3465 twips is 288.75 px", 120, 3465, 289},
        {"192 dpi", 192, 195, 26},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(host::ControlTwipsToPixels(c.twips, host::TwipsPerPixelForDpi(c.dpi)), c.expected);
    }
}

}  // namespace
