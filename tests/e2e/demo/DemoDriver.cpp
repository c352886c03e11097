// demo_driver.exe: plays the typical request on a tool and a simulated host that already run
// (scripts/demo starts them), as a user would: pick the line, Create, pick the XY curve, pick
// the YZ curve with a click in the Right viewport (where it is seen whole; Right stays the
// active viewport), SelAllPts, Generate Curtate Cycloid. Then checks every curve the host drew
// against the tool's own generator in world coordinates and prints a short report. Exit code 0
// only when every curve is where the generator says it should be; 1 when one is not; 2 when the
// run could not be made.
//
// demo_driver.exe --place-panel only moves the panel beside the simulated Rhino, for the
// interactive demo.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "CycloidCheck.h"
#include "HostControl.h"
#include "HostDocument.h"
#include "ToolWindows.h"
#include "platform/win32/com/ComApartment.h"

namespace {

using namespace driver;
using common::PanelControl;

constexpr DWORD kIdleMs = 60000;

void Say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

[[noreturn]] void Fail(const std::string& why) {
    throw std::runtime_error(why);
}

HWND FindAnyPanel() {
    HWND panel = nullptr;
    WaitUntil(
        [&] {
            panel = ::FindWindowW(kFormClass, kPanelTitle);
            return panel != nullptr;
        },
        30000, 100);
    return panel;
}

struct TitleSearch {
    const wchar_t* part;
    HWND found;
};

BOOL CALLBACK FindByTitle(HWND window, LPARAM state) {
    auto* search = reinterpret_cast<TitleSearch*>(state);
    wchar_t title[256] = {};
    ::GetWindowTextW(window, title, 256);
    if (::IsWindowVisible(window) && std::wstring(title).find(search->part) != std::wstring::npos) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The simulated Rhino's main window, or null.
HWND FindHostWindow() {
    TitleSearch search{L"Rhinoceros", nullptr};
    ::EnumWindows(FindByTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Moves a panel that floats (top-level, as under Wine) to the right of the simulated Rhino's
// main window, as a user would drag it out of the way of the viewports.
void PlaceBesideHost(HWND panel) {
    if (::GetAncestor(panel, GA_PARENT) != ::GetDesktopWindow()) {
        return;  // docked: it stays where the host shows it
    }
    const HWND hostWindow = FindHostWindow();
    RECT host{};
    if (hostWindow == nullptr || !::GetWindowRect(hostWindow, &host)) {
        return;
    }
    // Best effort: a panel left where it is only covers part of a viewport.
    (void)::SetWindowPos(panel, nullptr, host.right + 8, host.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The first object of the document that passes `test`.
template <typename Test>
const HostObject* FindObject(const HostDocument& document, Test&& test) {
    for (const HostObject& object : document.objects) {
        if (test(object)) {
            return &object;
        }
    }
    return nullptr;
}

bool AllOnPlane(const HostObject& object, double common::HostPoint::*coordinate) {
    for (const common::HostPoint& p : object.points) {
        if (p.*coordinate != 0) {
            return false;
        }
    }
    return !object.points.empty();
}

class Demo {
  public:
    Demo(HWND panel, DWORD toolProcessId) : panel_(panel, toolProcessId), toolProcessId_(toolProcessId) {}

    int Run() {
        HostControl control = HostControl::Connect(4);
        control_ = &control;
        const HostDocument scene = HostDocument::Parse(control.Document());
        const HostObject* line = FindObject(scene, [](const HostObject& o) { return o.kind == "line"; });
        const HostObject* xy = FindObject(scene, [](const HostObject& o) {
            return o.kind != "point" && o.kind != "line" && AllOnPlane(o, &common::HostPoint::z);
        });
        const HostObject* yz = FindObject(scene, [](const HostObject& o) {
            return o.kind != "point" && o.kind != "line" && AllOnPlane(o, &common::HostPoint::x);
        });
        if (line == nullptr || xy == nullptr || yz == nullptr) {
            Fail("the scene needs a line, a curve in the XY plane and a curve in the YZ plane");
        }

        Step("Pick Line", [&] {
            control.Control("pick " + line->id);
            Click(PanelControl::Command5);
            Expect(panel_.Text(PanelControl::Text5) == line->id, "the line's id in the panel");
        });
        Step("Create (" + panel_.Text(PanelControl::Text4) + " points on the line)",
             [&] { Click(PanelControl::Command2); });
        Step("Pick XY curve", [&] {
            control.Control("pick " + xy->id);
            Click(PanelControl::Command6);
            Expect(panel_.Text(PanelControl::Text1) == xy->id, "the XY curve's id in the panel");
        });
        Step("Pick YZ curve (clicked in the Right viewport)", [&] {
            const HWND hostWindow = FindHostWindow();
            Expect(hostWindow != nullptr, "the simulated Rhino's window");
            PickWithClick(
                control, hostWindow, [&] { panel_.Click(PanelControl::Command7); }, yz->id, "Right");
            WaitIdle();
            Expect(panel_.Text(PanelControl::Text2) == yz->id, "the YZ curve's id in the panel");
            Say("     active viewport: " + control.Control("view"));
        });
        Step("SelAllPts", [&] {
            Click(PanelControl::Command1);
            Say("     status: \"" + panel_.Status() + "\"");
        });

        const HostDocument before = HostDocument::Parse(control.Document());
        const std::vector<std::string> rows = panel_.ListRows();
        const double step = 5;
        const bool bothSides = panel_.Checked(PanelControl::Check1);
        Expect(panel_.Text(PanelControl::Text3) == "5", "the default step 5");
        const auto started = std::chrono::steady_clock::now();
        Step("Generate Curtate Cycloid", [&] { Click(PanelControl::Command4); });
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        Say("     status: \"" + panel_.Status() + "\"");
        Expect(panel_.Status() == "Curtate cycloid - DONE!", "the status \"Curtate cycloid - DONE!\"");

        const HostDocument after = HostDocument::Parse(control.Document());
        const std::vector<CurveExpectation> expected = ExpectedCurves(before, rows, xy->id, yz->id, step, bothSides);
        const std::vector<const HostObject*> created = after.AddedSince(before);
        const std::string differences = CompareCurves(expected, created);

        Say("");
        Say("Report");
        Say("  points listed: " + std::to_string(rows.size()) + ", curves drawn: " + std::to_string(created.size()) +
            ", step " + Number(step) + " degrees, " + (bothSides ? "both sides" : "one side") +
            ", active viewport while drawing: " + control.Control("view"));
        for (std::size_t i = 0; i < created.size(); ++i) {
            const HostObject& curve = *created[i];
            Say("  curve " + std::to_string(i + 1) + ": " + std::to_string(curve.points.size()) + " points, from " +
                Short(curve.points.front()) + " to " + Short(curve.points.back()));
        }
        char timing[64];
        std::snprintf(timing, sizeof(timing), "%.2f s", seconds);
        Say(std::string("  generation took ") + timing + " (from the click until the tool was idle again)");
        Say("  Under Wine the panel floats as a topmost window beside the simulated Rhino (Wine does not draw a");
        Say("  window docked into another process's window); on Windows it docks into Rhino's main window.");
        if (!differences.empty() || created.empty()) {
            Say("");
            Say("FAILED: the curves are not where the generator says they should be:");
            Say(differences.empty() ? "no curve was drawn" : differences);
            return 1;
        }
        Say("  every curve lies where the tool's generator says it should in world coordinates (within 1e-7 model "
            "units).");
        return 0;
    }

  private:
    template <typename Action>
    void Step(const std::string& name, Action&& action) {
        Say("  -> " + name);
        action();
    }

    void Click(PanelControl button) {
        panel_.Click(button);
        WaitIdle();
    }

    void WaitIdle() {
        if (!panel_.WaitIdle(kIdleMs, [this] { return static_cast<std::uint64_t>(control_->CallLog().size()); })) {
            Fail("the tool stayed busy after a click");
        }
        if (const std::optional<InfoBox> box = FindInfoBox(toolProcessId_)) {
            ClickInfoBoxOk(box->window);
            Fail("the tool showed the message \"" + box->message + "\"");
        }
    }

    static void Expect(bool holds, const std::string& what) {
        if (!holds) {
            Fail("expected " + what);
        }
    }

    static std::string Number(double v) {
        char buffer[32];
        std::snprintf(buffer, sizeof(buffer), "%.6g", v);
        return buffer;
    }

    static std::string Short(const common::HostPoint& p) {
        return "(" + Number(std::abs(p.x) < 5e-10 ? 0.0 : p.x) + ", " + Number(p.y) + ", " +
               Number(std::abs(p.z) < 5e-10 ? 0.0 : p.z) + ")";
    }

    Panel panel_;
    DWORD toolProcessId_;
    HostControl* control_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    try {
        win32::ComApartment apartment;
        HWND panel = FindAnyPanel();
        if (panel == nullptr) {
            Say("demo_driver: the tool's panel did not appear");
            return 2;
        }
        DWORD toolProcessId = 0;
        ::GetWindowThreadProcessId(panel, &toolProcessId);
        PlaceBesideHost(panel);
        if (argc > 1 && std::string(argv[1]) == "--place-panel") {
            return 0;
        }
        Demo demo(panel, toolProcessId);
        if (!Panel(panel, toolProcessId).WaitIdle(kIdleMs)) {
            Say("demo_driver: the tool did not become idle");
            return 2;
        }
        return demo.Run();
    } catch (const std::exception& e) {
        Say(std::string("demo_driver: ") + e.what());
        return 2;
    }
}
