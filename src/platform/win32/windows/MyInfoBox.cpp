#include "platform/win32/windows/MyInfoBox.h"

#include "platform/win32/windows/Modal.h"
#include "platform/win32/windows/PlaceForm.h"

namespace win32 {
namespace {

constexpr DWORD kInfoBoxStyle = WS_POPUP | WS_DLGFRAME | WS_CLIPCHILDREN;
constexpr DWORD kInfoBoxExStyle = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME;

}  // namespace

MyInfoBox::MyInfoBox(HWND owner) : owner_(owner) {
    const ui::FormSpec& spec = ui::MyInfoBoxSpec();
    const SIZE size =
        WindowSizeForClient(spec.clientWidthTwips, spec.clientHeightTwips, kInfoBoxStyle, kInfoBoxExStyle);
    const POINT corner = CentredPosition(owner, size);
    CreateForm(kInfoBoxExStyle, kInfoBoxStyle, owner, corner.x, corner.y, size.cx, size.cy);
    controls_.Create(Hwnd(), spec);
    // Load step: keep position and size, above every window that is not topmost.
    PlaceForm(Hwnd(), true, false);
}

void MyInfoBox::SetMessage(const std::string& message) {
    HwndSetText(controls_.Get(ui::kInfoBoxLabel1Id), message);
}

void MyInfoBox::ShowModal() {
    okClicked_ = false;
    RunModal(*this, owner_, [this] { return okClicked_; });
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
                (void)::SetFocus(controls_.Get(ui::kInfoBoxOkId));  // answers the previous focus
            }
            return 0;
        case WM_CLOSE:
            return 0;  // "OK" is the only way out
        default:
            break;
    }
    if (const std::optional<LRESULT> painted = controls_.PaintMessage(Hwnd(), message, wParam, lParam)) {
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
