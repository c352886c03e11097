#include "picking/PointList.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "common/NumberText.h"

namespace picking {

namespace {

constexpr std::int16_t kPointFilter = 1;

}  // namespace

bool AddPointId(common::PanelSurface& panel, const std::string& id) {
    if (panel.ListHasRowIgnoringCase(id)) {
        return false;
    }
    panel.ListAppend(id);
    return true;
}

void PickPoints(host::HostScript& script, common::PanelSurface& panel) {
    panel.SetStatusVisible(false);
    const std::optional<std::vector<std::string>> picked = script.GetObjects("Pick points", kPointFilter);
    if (!picked) {
        return;
    }
    const common::ListRedrawPause paintOnce(panel);
    for (const std::string& id : *picked) {
        if (script.IsPoint(id)) {
            AddPointId(panel, id);
        }
    }
}

std::size_t SelectAllPoints(host::HostScript& script, common::PanelSurface& panel) {
    panel.SetStatusVisible(false);
    // An empty document answers no array: it holds no points.
    const std::vector<std::string> all = script.AllObjects().value_or(std::vector<std::string>{});
    std::size_t pointCount = 0;
    {
        const common::ListRedrawPause paintOnce(panel);
        for (const std::string& id : all) {
            if (script.IsPoint(id)) {
                ++pointCount;
                AddPointId(panel, id);
            }
        }
    }
    panel.SetStatusVisible(true);
    panel.SetStatusCaption(common::IntegerText(pointCount) + " points added!");
    return pointCount;
}

void DeleteAllPoints(common::PanelSurface& panel) {
    panel.SetStatusVisible(false);
    panel.ListClear();
}

}  // namespace picking
