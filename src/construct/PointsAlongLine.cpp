#include "construct/PointsAlongLine.h"

#include <optional>
#include <string>
#include <vector>

#include "common/BestEffort.h"
#include "common/BlankTrim.h"
#include "common/HostValue.h"
#include "common/NumberText.h"
#include "common/NumericField.h"

namespace construct {

namespace {

using common::PanelControl;

std::string DivisionFailedMessage(double pointCount) {
    const char* noun = pointCount == 1 ? " point" : " points";
    return "Could not divide the line into " + common::NumberText(pointCount) + noun +
           ". Type 2 or more points beside \"Create\" and pick a line that Rhino can divide.";
}

// The line's id as the field holds it now; read at each use, as the field may be edited
// while a host call waits.
std::string LineId(const common::PanelSurface& panel) {
    return common::TrimBlanks(panel.FieldText(PanelControl::Text5));
}

}  // namespace

void CreatePointsAlongLine(host::HostScript& script, common::PanelSurface& panel) {
    panel.SetStatusVisible(false);

    // Armed before the selection: whatever happens from here on, the line does not stay selected.
    common::CleanupGuard unselectLine([&] { script.UnselectObject(LineId(panel)); });
    script.SelectObject(LineId(panel));

    std::optional<std::string> failure;
    const std::optional<std::vector<std::string>> selected = script.SelectedObjects();
    if (selected && !selected->empty()) {
        // The first selected object is divided: the line, unless the host lists another
        // object that was selected before.
        const double pointCount = common::ReadNumericField(panel.FieldText(PanelControl::Text4));
        const std::optional<std::vector<common::HostValue>> divisionPoints =
            script.DivideCurve(selected->front(), pointCount - 1);
        if (divisionPoints) {
            for (const common::HostValue& point : *divisionPoints) {
                script.AddPoint(point);
            }
        } else {
            failure = DivisionFailedMessage(pointCount);
        }
    }

    script.UnselectObject(LineId(panel));
    unselectLine.Dismiss();

    // Shown after the unselect, so the line is not left selected while the box waits.
    if (failure) {
        panel.ShowMessage(*failure);
    }
}

}  // namespace construct
