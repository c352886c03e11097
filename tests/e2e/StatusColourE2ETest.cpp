// The status label's colour as the user sees it. Wine does not draw a window docked into
// another process's window, so the host answers WindowHandle with 0 here: the panel stays a
// topmost top-level window and the label's pixels are read from the screen.
#include <gtest/gtest.h>

#include <string>

#include "E2eScenario.h"
#include "ScreenCapture.h"

namespace e2e {
namespace {

using namespace driver;
using common::PanelControl;

enum class Ink { SystemText, Red, Blue };

const char* InkName(Ink ink) {
    switch (ink) {
        case Ink::SystemText:
            return "the system's text colour";
        case Ink::Red:
            return "red";
        case Ink::Blue:
            return "blue";
    }
    return "?";
}

struct InkCount {
    int red = 0;
    int blue = 0;
    int dark = 0;
};

InkCount CountInk(HWND label) {
    RECT rect{};
    ::GetWindowRect(label, &rect);
    const ScreenImage screen = ScreenImage::Capture();
    InkCount count;
    count.red = screen.Count(rect, [](COLORREF c) { return NearColour(c, 255, 0, 0, 60); });
    count.blue = screen.Count(rect, [](COLORREF c) { return NearColour(c, 0, 0, 255, 60); });
    count.dark = screen.Count(rect, [](COLORREF c) { return NearColour(c, 0, 0, 0, 60); });
    return count;
}

// Waits (bounded) until the label shows text in `ink` and in no other of the three inks.
::testing::AssertionResult LabelInkIs(HWND label, Ink ink) {
    InkCount last;
    const bool seen = WaitUntil(
        [&] {
            last = CountInk(label);
            switch (ink) {
                case Ink::SystemText:
                    return last.dark > 0 && last.red == 0 && last.blue == 0;
                case Ink::Red:
                    return last.red > 0 && last.blue == 0 && last.dark == 0;
                case Ink::Blue:
                    return last.blue > 0 && last.red == 0 && last.dark == 0;
            }
            return false;
        },
        5000, 100);
    if (seen) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "expected the status text in " << InkName(ink) << "; pixels seen: red "
                                         << last.red << ", blue " << last.blue << ", dark " << last.dark;
}

class StatusColourE2ETest : public E2eScenario {};

TEST_F(StatusColourE2ETest, StatusKeepsTheColourTheLastGenerationSet) {
    Start(WithScene("points.scene", {"add point 5 20 0 id=44444444-4444-4444-8444-000000000004"}, true));
    HWND panel = P().Window();
    EXPECT_EQ(::GetAncestor(panel, GA_PARENT), ::GetDesktopWindow()) << "with WindowHandle 0 the panel stays top-level";
    EXPECT_NE(::GetWindowLongW(panel, GWL_EXSTYLE) & WS_EX_TOPMOST, 0) << "the panel is placed topmost";
    EXPECT_TRUE(P().StatusShown());
    EXPECT_EQ(P().Status(), "");
    HWND label = P().Control(PanelControl::Label2);

    // Before any generation: the count in the system's text colour.
    S().Click(PanelControl::Command1);
    ASSERT_EQ(P().Status(), "4 points added!");
    EXPECT_TRUE(LabelInkIs(label, Ink::SystemText));

    // A run that stops at the fourth point: its red caption stays.
    S().QueuePick(kXyCurveId);
    S().Click(PanelControl::Command6);
    S().QueuePick(kYzCurveId);
    S().Click(PanelControl::Command7);
    P().Click(PanelControl::Command4);
    EXPECT_EQ(S().AnswerInfoBox(), std::optional<std::string>(kNoIntersectionMessage));
    EXPECT_EQ(P().Status(), "Calculating Curtate cycloid... 4");
    EXPECT_TRUE(LabelInkIs(label, Ink::Red));

    // SelAllPts shows its count in the colour last set.
    S().Click(PanelControl::Command1);
    EXPECT_EQ(P().Status(), "4 points added!");
    EXPECT_TRUE(LabelInkIs(label, Ink::Red));

    // A run that ends normally turns it blue, and later messages stay blue.
    S().Click(PanelControl::Command3);
    S().Click(PanelControl::Command4);
    EXPECT_EQ(P().Status(), "Curtate cycloid - DONE!");
    EXPECT_TRUE(LabelInkIs(label, Ink::Blue));
    S().Click(PanelControl::Command1);
    EXPECT_EQ(P().Status(), "4 points added!");
    EXPECT_TRUE(LabelInkIs(label, Ink::Blue));

    // Hidden by the other commands: no ink at all where the label was.
    S().Click(PanelControl::Command3);
    EXPECT_FALSE(P().StatusShown());
}

}  // namespace
}  // namespace e2e
