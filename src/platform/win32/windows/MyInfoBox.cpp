#include "platform/win32/windows/MyInfoBox.h"

#include "platform/win32/windows/Modal.h"

namespace win32 {

MyInfoBox::MyInfoBox(HWND owner) : ModalBox(owner) {
    CreateBox(ui::MyInfoBoxSpec());
}

void MyInfoBox::SetMessage(const std::string& message) {
    HwndSetText(Control(ui::kInfoBoxLabel1Id), message);
}

void MyInfoBox::ShowModal() {
    okClicked_ = false;
    RunModal(*this, Owner(), [this] { return okClicked_; });
}

LRESULT MyInfoBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == ui::kInfoBoxOkId && HIWORD(wParam) == BN_CLICKED) {
                okClicked_ = true;  // the modal loop ends and destroys the box
            }
            return 0;
        case WM_ACTIVATE:
            // Every activation puts the focus on "OK", so Enter or Space closes the box.
            if (LOWORD(wParam) != WA_INACTIVE) {
                (void)::SetFocus(Control(ui::kInfoBoxOkId));  // answers the previous focus
            }
            return 0;
        case WM_CLOSE:
            return 0;  // "OK" is the only way out
        default:
            break;
    }
    if (const std::optional<LRESULT> painted = PaintMessageAnswer(message, wParam, lParam)) {
        return *painted;
    }
    return ::DefWindowProcW(Hwnd(), message, wParam, lParam);
}

void ShowInfoBox(HWND owner, const std::string& message) {
    MyInfoBox box(owner);
    box.SetMessage(message);
    box.ShowModal();
}

}  // namespace win32
