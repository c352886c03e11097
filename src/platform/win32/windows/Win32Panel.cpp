#include "platform/win32/windows/Win32Panel.h"

#include "platform/win32/base/TextConversion.h"
#include "platform/win32/windows/FormControls.h"
#include "platform/win32/windows/MessageLoop.h"
#include "platform/win32/windows/MyInfoBox.h"

#include <stdexcept>

namespace win32 {

Win32Panel::Win32Panel(Form1& form) : form_(form) {
    // Rows already in the list (none on a fresh panel) are indexed too.
    for (std::size_t row = 0; row < ListCount(); ++row) {
        rowIndex_.Insert(ListRow(row));
    }
}

std::string Win32Panel::FieldText(common::PanelControl field) const {
    return HwndText(form_.Control(field));
}

void Win32Panel::SetFieldText(common::PanelControl field, const std::string& text) {
    HwndSetText(form_.Control(field), text);
}

std::size_t Win32Panel::ListCount() const {
    const LRESULT count = ::SendMessageW(List(), LB_GETCOUNT, 0, 0);
    return count > 0 ? static_cast<std::size_t>(count) : 0;
}

std::string Win32Panel::ListRow(std::size_t index) const {
    const LRESULT length = ::SendMessageW(List(), LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR || length < 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = ::SendMessageW(List(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return WideToUtf8(text);
}

std::optional<std::size_t> Win32Panel::ListSelectedRow() const {
    const LRESULT selected = ::SendMessageW(List(), LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR || selected < 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(selected);
}

bool Win32Panel::ListHasRowIgnoringCase(const std::string& text) const {
    return rowIndex_.Contains(text);
}

void Win32Panel::ListAppend(const std::string& text) {
    const std::wstring wide = Utf8ToWide(text);
    // The list is not sorted, so LB_ADDSTRING appends at the end.
    const LRESULT added = ::SendMessageW(List(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    // The list box answers LB_ERRSPACE when it has no room for the row, LB_ERR on any other
    // failure; neither is a GetLastError code.
    if (added == LB_ERRSPACE) {
        throw std::runtime_error("List1 has no room for another row (LB_ADDSTRING answered LB_ERRSPACE)");
    }
    if (added == LB_ERR) {
        throw std::runtime_error("List1 refused the row (LB_ADDSTRING answered LB_ERR)");
    }
    rowIndex_.Insert(text);
}

void Win32Panel::SetListRedraw(bool redraw) noexcept {
    // Every row appended to a painting list box repaints it: about 7 ms a row under Wine, most
    // of SelAllPts' time. While paused, the list box only records its rows; resuming repaints
    // the list and its scroll bar once. Both messages go to a window that may already be
    // gone when the host ended mid-command; they then do nothing.
    if (!redraw) {
        if (listRedrawPauses_++ == 0) {
            (void)::SendMessageW(List(), WM_SETREDRAW, FALSE, 0);
        }
        return;
    }
    if (listRedrawPauses_ == 0 || --listRedrawPauses_ != 0) {
        return;
    }
    (void)::SendMessageW(List(), WM_SETREDRAW, TRUE, 0);
    (void)::InvalidateRect(List(), nullptr, TRUE);
}

void Win32Panel::ListClear() {
    (void)::SendMessageW(List(), LB_RESETCONTENT, 0, 0);  // has no result
    rowIndex_.Clear();
}

bool Win32Panel::BothSidesChecked() const {
    return ::SendMessageW(form_.Control(common::PanelControl::Check1), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Panel::SetStatusCaption(const std::string& caption) {
    const HWND label = form_.Control(common::PanelControl::Label2);
    HwndSetText(label, caption);
    // A static control repaints only its text area; the whole label is repainted so a
    // shorter caption leaves nothing of the longer one behind.
    (void)::InvalidateRect(label, nullptr, TRUE);  // cosmetic if refused
    // Painted now: a generation run writes its count here after every entry and lets no
    // window message run meanwhile, so a repaint left to the queue would show only the
    // last caption. UpdateWindow sends WM_PAINT to the label alone (and the colour query to
    // the panel); no queued message, click or keystroke runs from here.
    (void)::UpdateWindow(label);  // cosmetic if refused
}

void Win32Panel::SetStatusColor(common::Rgb color) {
    form_.SetStatusTextColor(ToColorRef(color));
}

void Win32Panel::SetStatusVisible(bool visible) {
    HwndSetVisible(form_.Control(common::PanelControl::Label2), visible);
}

void Win32Panel::ShowMessage(const std::string& message) {
    ShowInfoBox(form_.Hwnd(), message);
}

void Win32Panel::LetPendingMessagesRun() {
    win32::LetPendingMessagesRun();
}

}  // namespace win32
