#include "hostsim/server/MainWindow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <functional>

#include "hostsim/model/Document.h"
#include "hostsim/server/ComResource.h"
#include "hostsim/server/DocumentSnapshot.h"
#include "hostsim/server/ViewportPainter.h"

namespace hostsim {
namespace {

// Steps run one per timer tick while a pick's nested loop waits: the same thread that is
// blocked in the pick plays the user.
std::deque<std::function<void()>> gSteps;

void CALLBACK RunNextStep(HWND, UINT, UINT_PTR, DWORD) {
    if (!gSteps.empty()) {
        auto step = std::move(gSteps.front());
        gSteps.pop_front();
        step();
    }
}

// A destroyed main window ends the thread's message loop with WM_QUIT, which a later pick would
// take as the end of the program; each test starts without one.
void DropQuitMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest()
        : window_(L"test host",
                  MainWindow::Sources{
                      [this] { return DocumentSnapshot(api_.Doc()); }, [this] { return api_.Doc().RedrawEnabled(); },
                      [this] { return api_.ActiveView(); }, [this](ViewKind view) { api_.SetActiveView(view); },
                      [this](DialogKind, bool open) { api_.Busy().SetModalOpen(open); },
                      [this] { return api_.UserCommand(); },
                      [this](std::string name) { api_.SetUserCommand(std::move(name)); }}) {
        api_.SetPickProvider(&window_);
        line_ = api_.Control("add line -20 10 0 20 10 0");
        a_ = api_.Control("add point -10 -10 0");
        b_ = api_.Control("add point 10 -10 0");
        window_.DocumentChanged();
        DropQuitMessages();
        timer_ = SetTimer(nullptr, 0, 20, &RunNextStep);
    }
    ~MainWindowTest() override {
        KillTimer(nullptr, timer_);
        gSteps.clear();
        api_.SetPickProvider(nullptr);
    }

    POINT Pixel(Vec3 world, ViewKind kind = ViewKind::Top) const {
        for (const ViewTransform& view : window_.Views()) {
            if (view.kind == kind) {
                const ScreenPoint p = view.ToScreen(world);
                return {std::lround(p.xPixels), std::lround(p.yPixels)};
            }
        }
        ADD_FAILURE() << "no such view";
        return {};
    }

    std::function<void()> Click(Vec3 world, ViewKind kind = ViewKind::Top, int offsetPixels = 0) {
        return [this, world, kind, offsetPixels] {
            const POINT p = Pixel(world, kind);
            PostMessageW(window_.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x + offsetPixels, p.y));
            PostMessageW(window_.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(p.x + offsetPixels, p.y));
        };
    }
    std::function<void()> Key(WPARAM key) {
        return [this, key] { PostMessageW(window_.Handle(), WM_KEYDOWN, key, 0); };
    }

    // True when a pixel of the given colour lies within 4 pixels of the world point's pixel.
    bool ColourNear(Vec3 world, COLORREF colour) const {
        const POINT p = Pixel(world);
        for (int dy = -4; dy <= 4; ++dy) {
            for (int dx = -4; dx <= 4; ++dx) {
                if (window_.ViewPixel(p.x + dx, p.y + dy) == colour) {
                    return true;
                }
            }
        }
        return false;
    }

    ComApartment apartment_;
    ScriptApi api_;
    MainWindow window_;
    std::string line_;
    std::string a_;
    std::string b_;
    UINT_PTR timer_ = 0;
};

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);

TEST_F(MainWindowTest, GetObjectAnswersTheClickedObjectTheFilterAllows) {
    struct Case {
        const char* name;
        int filter;
        std::vector<std::function<void()>> steps;
        Value expected;
    };
    const Case kCases[] = {
        {"curve clicked in Top", 4, {Click({5, 10, 0})}, Value::String(line_)},
        {"curve clicked in Front", 4, {Click({-15, 10, 0}, ViewKind::Front)}, Value::String(line_)},
        {"point refused by the curve filter, then Escape", 4, {Click({-10, -10, 0}), Key(VK_ESCAPE)}, Value::Null()},
        {"point with filter 0", 0, {Click({10, -10, 0})}, Value::String(b_)},
        {"click 3 pixels off still picks", 1, {Click({-10, -10, 0}, ViewKind::Top, 3)}, Value::String(a_)},
        {"click 8 pixels off misses", 1, {Click({-10, -10, 0}, ViewKind::Top, 8), Key(VK_ESCAPE)}, Value::Null()},
        {"Enter with nothing picked", 4, {Key(VK_RETURN)}, Value::Null()},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        gSteps.assign(c.steps.begin(), c.steps.end());
        const Value answer = api_.Call("GetObject", {Value::String("Select curve"), Value::Int32(c.filter)});
        EXPECT_EQ(answer, c.expected) << answer.Text();
        EXPECT_FALSE(window_.Picking());
        EXPECT_EQ(window_.PromptText(), L"Command:");
    }
}

TEST_F(MainWindowTest, GetObjectsCollectsUntilEnterAndHighlightsWhileCollecting) {
    std::wstring prompt;
    bool highlighted = false;
    bool otherHighlighted = true;
    gSteps = {Click({-10, -10, 0}),
              [&] {
                  prompt = window_.PromptText();
                  highlighted = ColourNear({-10, -10, 0}, kYellow);
                  otherHighlighted = ColourNear({10, -10, 0}, kYellow);
              },
              Click({5, 10, 0}),  // a curve: not a point, ignored
              Click({10, -10, 0}),
              Click({-10, -10, 0}),
              Key(VK_RETURN)};
    const Value answer = api_.Call("GetObjects", {Value::String("Select points"), Value::Int32(1)});
    EXPECT_EQ(answer, Value::Array({Value::String(a_), Value::String(b_)})) << answer.Text();
    EXPECT_EQ(prompt, L"Select points. Press Enter when done");
    EXPECT_TRUE(highlighted);
    EXPECT_FALSE(otherHighlighted);
    EXPECT_FALSE(ColourNear({-10, -10, 0}, kYellow)) << "the highlight ends with the pick";
}

TEST_F(MainWindowTest, GetObjectsEndsOnRightClickAndCancelsOnEscape) {
    gSteps = {Click({10, -10, 0}), [this] { PostMessageW(window_.Handle(), WM_RBUTTONUP, 0, 0); }};
    EXPECT_EQ(api_.Call("GetObjects", {Value::String("Select points"), Value::Int32(1)}),
              Value::Array({Value::String(b_)}));
    gSteps = {Click({10, -10, 0}), Key(VK_ESCAPE)};
    EXPECT_EQ(api_.Call("GetObjects", {Value::String("Select points"), Value::Int32(1)}), Value::Null());
}

TEST_F(MainWindowTest, ClosingTheWindowCancelsAWaitingPick) {
    gSteps = {[this] { PostMessageW(window_.Handle(), WM_CLOSE, 0, 0); }};
    EXPECT_EQ(api_.Call("GetObject", {Value::String("Select curve"), Value::Int32(4)}), Value::Null());
    // The close waits until the pick has answered, then goes ahead.
    MSG msg;
    for (int i = 0; i < 100 && !window_.Destroyed(); ++i) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message != WM_QUIT) {
                DispatchMessageW(&msg);
            }
        }
        Sleep(10);
    }
    EXPECT_TRUE(window_.Destroyed());
    EXPECT_THROW(api_.Call("GetObject", {}), ScriptError);
}

// The menu window TrackPopupMenu shows, or null.
HWND PopupMenuWindow() {
    return FindWindowW(L"#32768", nullptr);
}

// A click within reach of two curves (a line standing upright over the first one, drawn as a
// point in Top) asks which one with a popup menu, the nearer first: the click lies on the first
// line, two pixels beside the upright one.
TEST_F(MainWindowTest, AClickOnSeveralObjectsAsksWhichOne) {
    const std::string upright = api_.Control("add line 0 10 -5 0 10 5");
    window_.DocumentChanged();
    const auto keys = [](std::vector<WPARAM> pressed) {
        return [pressed] {
            for (WPARAM key : pressed) {
                PostMessageW(PopupMenuWindow(), WM_KEYDOWN, key, 0);
            }
        };
    };
    struct Case {
        const char* name;
        std::function<void()> answer;
        Value expected;
    };
    const Case kCases[] = {
        {"the second item chosen", keys({VK_DOWN, VK_DOWN, VK_RETURN}), Value::String(upright)},
        {"the menu dismissed: that click picks nothing", keys({VK_ESCAPE}), Value::Null()},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        std::vector<std::wstring> items;
        gSteps = {Click({0, 10, 0}, ViewKind::Top, 2),
                  [&] {
                      const auto menu = reinterpret_cast<HMENU>(SendMessageW(PopupMenuWindow(), MN_GETHMENU, 0, 0));
                      for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                          wchar_t text[64] = {};
                          GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
                          items.emplace_back(text);
                      }
                  },
                  c.answer, Key(VK_ESCAPE)};
        EXPECT_EQ(api_.Call("GetObject", {Value::String("Select curve"), Value::Int32(4)}), c.expected);
        EXPECT_EQ(items,
                  (std::vector<std::wstring>{L"Line " + std::wstring(line_.begin(), line_.begin() + 8) + L"...",
                                             L"Line " + std::wstring(upright.begin(), upright.begin() + 8) + L"..."}));
    }
}

TEST_F(MainWindowTest, NothingRepaintsWhileRedrawIsOff) {
    EXPECT_TRUE(ColourNear({-10, -10, 0}, kBlack));
    api_.Call("EnableRedraw", {Value::Bool(false)});
    const std::string c = api_.Control("add point 5 -5 0");
    api_.Call("SelectObject", {Value::String(a_)});
    window_.DocumentChanged();
    EXPECT_FALSE(ColourNear({5, -5, 0}, kBlack)) << "a point added while redraw is off stays unseen";
    EXPECT_FALSE(ColourNear({-10, -10, 0}, kYellow));

    api_.Call("EnableRedraw", {Value::Bool(true)});
    window_.DocumentChanged();
    EXPECT_TRUE(ColourNear({5, -5, 0}, kBlack));
    EXPECT_TRUE(ColourNear({-10, -10, 0}, kYellow)) << "selected objects show yellow";
    EXPECT_FALSE(ColourNear({10, -10, 0}, kYellow));
}

// The Tools menu starts the command Move, shown on the command line, and Escape ends it.
TEST_F(MainWindowTest, MenuStartsTheUsersCommandAndEscapeEndsIt) {
    SendMessageW(window_.Handle(), WM_COMMAND, MainWindow::kStartCommandCommand, 0);
    EXPECT_EQ(api_.UserCommand(), "Move");
    EXPECT_EQ(window_.PromptText(), L"Move: Point to move from (press Esc to cancel)");
    EXPECT_EQ(api_.Call("InCommand", {}), Value::Int32(1));
    SendMessageW(window_.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(api_.UserCommand(), "");
    EXPECT_EQ(window_.PromptText(), L"Command:");
}

// Whether the title label of a view shows the active colour.
bool TitleHighlighted(const MainWindow& window, ViewKind kind) {
    for (const ViewTransform& view : window.Views()) {
        if (view.kind == kind) {
            return window.ViewPixel(view.rect.left + 4, view.rect.top + 4) == kActiveTitleBackColor;
        }
    }
    return false;
}

// A click in a viewport makes it active, also the click that answers a pick; the active view's
// title is drawn highlighted, and "spot" finds where a click picks an object.
TEST_F(MainWindowTest, ClicksMakeTheirViewportActiveAndItsTitleShowsIt) {
    EXPECT_EQ(api_.ActiveView(), ViewKind::Top);
    EXPECT_TRUE(TitleHighlighted(window_, ViewKind::Top));
    EXPECT_FALSE(TitleHighlighted(window_, ViewKind::Right));

    // An empty place of the Right view, outside any pick.
    const POINT empty = Pixel({0, 8, 8}, ViewKind::Right);
    PostMessageW(window_.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(empty.x, empty.y));
    MSG msg;
    while (PeekMessageW(&msg, window_.Handle(), 0, 0, PM_REMOVE)) {
        DispatchMessageW(&msg);
    }
    EXPECT_EQ(api_.ActiveView(), ViewKind::Right);
    EXPECT_TRUE(TitleHighlighted(window_, ViewKind::Right));
    EXPECT_FALSE(TitleHighlighted(window_, ViewKind::Top));

    gSteps = {Click({-15, 10, 0}, ViewKind::Front)};
    EXPECT_EQ(api_.Call("GetObject", {Value::String("Select curve"), Value::Int32(4)}), Value::String(line_));
    EXPECT_EQ(api_.ActiveView(), ViewKind::Front);
    EXPECT_TRUE(TitleHighlighted(window_, ViewKind::Front));

    const std::string spot = api_.Control("spot " + b_ + " Perspective");
    const std::size_t blank = spot.find(' ');
    ASSERT_NE(blank, std::string::npos) << spot;
    const int x = std::stoi(spot.substr(0, blank));
    const int y = std::stoi(spot.substr(blank + 1));
    gSteps = {[&] {
        PostMessageW(window_.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PostMessageW(window_.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }};
    EXPECT_EQ(api_.Call("GetObject", {Value::String("Select point"), Value::Int32(1)}), Value::String(b_));
    EXPECT_EQ(api_.ActiveView(), ViewKind::Perspective);
}

}  // namespace
}  // namespace hostsim
