#include "construct/PointsAlongLine.h"

#include <optional>
#include <string>
#include <vector>

#include "common/AsciiCase.h"
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

constexpr char kLineNotSelectedMessage[] =
    "Rhino did not select the picked line, so nothing was divided. The line may be locked, hidden, on a locked or "
    "hidden layer, or deleted: unlock or show it in Rhino, or pick a line again.";

constexpr char kNoLinePickedMessage[] = "No line is picked. Click Pick Line and pick the line in Rhino first.";

// The id of the selection list that names the line, as the host wrote it, or nothing. Ids are
// compared ignoring case, as the host resolves them.
std::optional<std::string> ListedLine(const std::optional<std::vector<std::string>>& selected,
                                      const std::string& lineId) {
    if (!selected) {
        return std::nullopt;
    }
    for (const std::string& id : *selected) {
        if (common::EqualIgnoringAsciiCase(common::TrimBlanks(id), lineId)) {
            return id;
        }
    }
    return std::nullopt;
}

// The line's id as the field holds it now; read at each use, as the field may be edited
// while a host call waits.
std::string LineId(const common::PanelSurface& panel) {
    return common::TrimBlanks(panel.FieldText(PanelControl::Text5));
}

}  // namespace

void CreatePointsAlongLine(host::HostScript& script, common::PanelSurface& panel, host::LeftInHost& leftInHost) {
    panel.SetStatusVisible(false);

    // Armed before the selection: whatever happens from here on, the line does not stay
    // selected, or the user is told that it did.
    common::CleanupGuard unselectLine([&] {
        const std::string id = LineId(panel);
        if (!common::RunBestEffort([&] { script.UnselectObject(id); })) {
            leftInHost.Note("the line " + id + " selected");
        }
    });
    const std::string lineId = LineId(panel);
    script.SelectObject(lineId);

    std::optional<std::string> failure;
    // Only the line itself is divided: another object the user had selected may be listed
    // first, and a line the host would not select (locked, hidden, or gone) is not listed.
    if (const std::optional<std::string> listed = ListedLine(script.SelectedObjects(), lineId)) {
        const double pointCount = common::ReadNumericField(panel.FieldText(PanelControl::Text4));
        const std::optional<std::vector<common::HostValue>> divisionPoints =
            script.DivideCurve(*listed, pointCount - 1);
        if (divisionPoints) {
            for (const common::HostValue& point : *divisionPoints) {
                script.AddPoint(point);
            }
        } else {
            failure = DivisionFailedMessage(pointCount);
        }
    } else {
        failure = lineId.empty() ? kNoLinePickedMessage : kLineNotSelectedMessage;
    }

    script.UnselectObject(LineId(panel));
    unselectLine.Dismiss();

    // Shown after the unselect, so the line is not left selected while the box waits.
    if (failure) {
        panel.ShowMessage(*failure);
    }
}

}  // namespace construct
