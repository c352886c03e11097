#pragma once

#include "common/CaseFoldedIndex.h"
#include "common/PanelSurface.h"
#include "platform/win32/windows/Form1.h"

namespace win32 {

// The panel surface over the real controls of Form1: the text boxes, List1 (with a
// case-folded index of its rows kept beside it for the exact-match search), Check1, the
// status label Label2 and the information box owned by the panel. Does not own the form,
// which must outlive it.
class Win32Panel : public common::PanelSurface {
  public:
    explicit Win32Panel(Form1& form);

    std::string FieldText(common::PanelControl field) const override;
    void SetFieldText(common::PanelControl field, const std::string& text) override;
    std::size_t ListCount() const override;
    std::string ListRow(std::size_t index) const override;
    std::optional<std::size_t> ListSelectedRow() const override;
    bool ListHasRowIgnoringCase(const std::string& text) const override;
    void ListAppend(const std::string& text) override;
    void ListClear() override;
    void SetListRedraw(bool redraw) noexcept override;
    bool BothSidesChecked() const override;
    // Sets the status label's caption and paints the label at once, running no queued message.
    void SetStatusCaption(const std::string& caption) override;
    void SetStatusColor(common::Rgb color) override;
    void SetStatusVisible(bool visible) override;
    void ShowMessage(const std::string& message) override;
    void LetPendingMessagesRun() override;

  private:
    HWND List() const { return form_.Control(common::PanelControl::List1); }

    Form1& form_;
    common::CaseFoldedIndex rowIndex_;
    int listRedrawPauses_ = 0;
};

}  // namespace win32
