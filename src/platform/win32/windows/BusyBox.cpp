#include "platform/win32/windows/BusyBox.h"

#include "platform/win32/windows/Modal.h"

namespace win32 {

BusyBox::BusyBox(HWND owner) : ModalBox(owner) {
    CreateBox(ui::BusyBoxSpec());
}

bool BusyBox::AskRetry() {
    answer_ = Answer::None;
    RunModal(*this, Owner(), [this] { return answer_ != Answer::None; });
    return answer_ == Answer::Retry;
}

LRESULT BusyBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (PressFocusedButtonOnEnter(wParam)) {
                return 0;
            }
            if (HIWORD(wParam) == BN_CLICKED) {
                if (LOWORD(wParam) == ui::kBusyBoxRetryId) {
                    answer_ = Answer::Retry;
                } else if (LOWORD(wParam) == ui::kBusyBoxCancelId) {
                    answer_ = Answer::Cancel;  // also Esc, which the dialog manager sends as IDCANCEL
                }
            }
            return 0;
        case WM_ACTIVATE:
            // Retry has the focus, so Enter waits again.
            if (LOWORD(wParam) != WA_INACTIVE) {
                (void)::SetFocus(Control(ui::kBusyBoxRetryId));  // answers the previous focus
            }
            return 0;
        case WM_CLOSE:
            return 0;  // only the two buttons answer
        default:
            break;
    }
    if (const std::optional<LRESULT> painted = PaintMessageAnswer(message, wParam, lParam)) {
        return *painted;
    }
    return ::DefWindowProcW(Hwnd(), message, wParam, lParam);
}

}  // namespace win32
