#include "MemoryPanel.h"

namespace testing_support {

MemoryPanel::MemoryPanel() {
    fields[common::PanelControl::Text3] = "5";
    fields[common::PanelControl::Text4] = "10";
}

std::string MemoryPanel::FieldText(common::PanelControl field) const {
    const auto found = fields.find(field);
    return found != fields.end() ? found->second : std::string();
}

void MemoryPanel::SetFieldText(common::PanelControl field, const std::string& text) {
    fields[field] = text;
}

std::string MemoryPanel::ListRow(std::size_t index) const {
    return index < rows.size() ? rows[index] : std::string();
}

bool MemoryPanel::ListHasRowIgnoringCase(const std::string& text) const {
    return index_.Contains(text);
}

void MemoryPanel::ListAppend(const std::string& text) {
    if (listRedrawPauses == 0) {
        ++rowsAppendedPainting;
    }
    rows.push_back(text);
    index_.Insert(text);
}

void MemoryPanel::SetListRedraw(bool redraw) noexcept {
    if (!redraw) {
        ++listRedrawPauses;
    } else if (listRedrawPauses > 0) {
        --listRedrawPauses;
    }
}

void MemoryPanel::ListClear() {
    rows.clear();
    selectedRow.reset();
    index_.Clear();
}

void MemoryPanel::ShowMessage(const std::string& message) {
    messages.push_back(message);
    if (onMessage) {
        onMessage(message);
    }
}

void MemoryPanel::LetPendingMessagesRun() {
    ++pendingMessageRuns;
    if (onPendingMessages) {
        // A handler run from here may set a new callback; take this one out first.
        auto pending = std::move(onPendingMessages);
        onPendingMessages = nullptr;
        pending();
    }
}

}  // namespace testing_support
