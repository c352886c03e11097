#include "platform/win32/windows/BusyBox.h"

#include "platform/win32/windows/Modal.h"
#include "platform/win32/windows/PlaceForm.h"

namespace win32 {
namespace {

constexpr DWORD kBusyBoxStyle = WS_POPUP | WS_DLGFRAME | WS_CLIPCHILDREN;
constexpr DWORD kBusyBoxExStyle = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME;

}  // namespace

BusyBox::BusyBox(HWND owner) : owner_(owner) {
    const ui::FormSpec& spec = ui::BusyBoxSpec();
    const SIZE size =
        WindowSizeForClient(spec.clientWidthTwips, spec.clientHeightTwips, kBusyBoxStyle, kBusyBoxExStyle);
    const POINT corner = CentredPosition(owner, size);
    CreateForm(kBusyBoxExStyle, kBusyBoxStyle, owner, corner.x, corner.y, size.cx, size.cy);
    controls_.Create(Hwnd(), spec);
    PlaceForm(Hwnd(), true, false);
}

bool BusyBox::AskRetry() {
    answer_ = Answer::None;
    RunModal(*this, owner_, [this] { return answer_ != Answer::None; });
    return answer_ == Answer::Retry;
}

LRESULT BusyBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
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
                (void)::SetFocus(controls_.Get(ui::kBusyBoxRetryId));  // answers the previous focus
            }
            return 0;
        case WM_CLOSE:
            return 0;  // only the two buttons answer
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<LRESULT>(
                controls_.CtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
        case WM_DRAWITEM:
            if (controls_.DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) {
                return TRUE;
            }
            break;
        case WM_ERASEBKGND:
            controls_.EraseBackground(Hwnd(), reinterpret_cast<HDC>(wParam));
            return TRUE;
        default:
            break;
    }
    return ::DefWindowProcW(Hwnd(), message, wParam, lParam);
}

}  // namespace win32
