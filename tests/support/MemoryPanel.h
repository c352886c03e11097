#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/CaseFoldedIndex.h"
#include "common/PanelSurface.h"

namespace testing_support {

// The panel held in memory, for native tests of the handlers. Starts as a fresh panel
// does: empty id fields and list, Text3 "5", Text4 "10", Check1 checked, the status
// label visible, empty and in the system text colour (no colour set).
class MemoryPanel : public common::PanelSurface {
  public:
    MemoryPanel();

    std::string FieldText(common::PanelControl field) const override;
    void SetFieldText(common::PanelControl field, const std::string& text) override;
    std::size_t ListCount() const override { return rows.size(); }
    std::string ListRow(std::size_t index) const override;
    std::optional<std::size_t> ListSelectedRow() const override { return selectedRow; }
    bool ListHasRowIgnoringCase(const std::string& text) const override;
    void ListAppend(const std::string& text) override;
    void ListClear() override;
    void SetListRedraw(bool redraw) noexcept override;
    bool BothSidesChecked() const override { return bothSides; }
    void SetStatusCaption(const std::string& caption) override { statusCaption = caption; }
    void SetStatusColor(common::Rgb color) override { statusColor = color; }
    void SetStatusVisible(bool visible) override { statusVisible = visible; }
    void ShowMessage(const std::string& message) override;
    void LetPendingMessagesRun() override;

    // State, open to the test.
    std::map<common::PanelControl, std::string> fields;  // the text fields; a missing one is empty
    std::vector<std::string> rows;
    std::optional<std::size_t> selectedRow;
    bool bothSides = true;
    std::string statusCaption;
    std::optional<common::Rgb> statusColor;  // nothing: the system text colour
    bool statusVisible = true;
    int listRedrawPauses = 0;              // pauses in force
    std::size_t rowsAppendedPainting = 0;  // rows appended while the list repainted
    std::vector<std::string> messages;     // every message shown, in order
    int pendingMessageRuns = 0;
    // Runs inside ShowMessage / LetPendingMessagesRun, as a queued click would.
    std::function<void(const std::string&)> onMessage;
    std::function<void()> onPendingMessages;

  private:
    common::CaseFoldedIndex index_;
};

}  // namespace testing_support
