#include "picking/PressHighlight.h"

#include <optional>
#include <string>

#include "common/BlankTrim.h"

namespace picking {

namespace {

// The id the control holds, blank-trimmed, or nothing when there is none to pass on. An id
// field counts as empty only when its text is empty before trimming: a field of blanks alone
// passes the empty id on to the host.
std::optional<std::string> StoredId(const common::PanelSurface& panel, common::PanelControl source) {
    if (source == common::PanelControl::List1) {
        const std::optional<std::size_t> row = panel.ListSelectedRow();
        if (!row || *row >= panel.ListCount()) {
            return std::nullopt;
        }
        return common::TrimBlanks(panel.ListRow(*row));
    }
    const std::string text = panel.FieldText(source);
    if (text.empty()) {
        return std::nullopt;
    }
    return common::TrimBlanks(text);
}

}  // namespace

void HighlightOnPress(host::HostScript& script, const common::PanelSurface& panel, common::PanelControl source) {
    if (const std::optional<std::string> id = StoredId(panel, source)) {
        script.SelectObject(*id);
    }
}

void UnhighlightOnRelease(host::HostScript& script, const common::PanelSurface& panel, common::PanelControl source) {
    if (const std::optional<std::string> id = StoredId(panel, source)) {
        script.UnselectObject(*id);
    }
}

}  // namespace picking
