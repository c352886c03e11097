#include "picking/Pickers.h"

#include <cstdint>
#include <optional>
#include <string>

namespace picking {

namespace {

using common::PanelControl;

constexpr std::int16_t kCurveFilter = 4;

// The planes the host tests the picked curve against: origin, first axis, second axis, and a
// fourth entry the host's in-plane test expects as given here (not the plane's normal).
constexpr host::PlaneArgument kXyPlane{{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 0}}};
constexpr host::PlaneArgument kYzPlane{{{0, 0, 0}, {0, 0, 1}, {0, 1, 0}, {0, 0, 1}}};

// Hides the status label and asks the host for one curve.
std::optional<std::string> PickCurve(host::HostScript& script, common::PanelSurface& panel, const char* prompt) {
    panel.SetStatusVisible(false);
    return script.GetObject(prompt, kCurveFilter);
}

}  // namespace

void PickLine(host::HostScript& script, common::PanelSurface& panel) {
    const std::optional<std::string> id = PickCurve(script, panel, "Pick a Line ");
    if (id) {
        panel.SetFieldText(PanelControl::Text5, *id);
    }
}

void PickXyCurve(host::HostScript& script, common::PanelSurface& panel) {
    const std::optional<std::string> id = PickCurve(script, panel, "Pick a XY curve ");
    if (!id) {
        return;
    }
    // Both questions are always asked, in this order.
    const bool isCurve = script.IsCurve(*id);
    const bool isPlanar = script.IsCurvePlanar(*id);
    if (!(isCurve && isPlanar)) {
        return;
    }
    if (script.IsCurveInPlane(*id, kXyPlane)) {
        panel.SetFieldText(PanelControl::Text1, *id);
    } else {
        panel.ShowMessage("Selected curve is not in the XY plane");
    }
}

void PickYzCurve(host::HostScript& script, common::PanelSurface& panel) {
    const std::optional<std::string> id = PickCurve(script, panel, "Pick a YZ curve ");
    if (!id) {
        return;
    }
    if (script.IsCurveInPlane(*id, kYzPlane)) {
        panel.SetFieldText(PanelControl::Text2, *id);
    } else {
        panel.ShowMessage("Selected curve is not in the YZ plane");
    }
}

}  // namespace picking
