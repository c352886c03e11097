#include "platform/win32/windows/MyInfoBox.h"

#include <algorithm>

#include "platform/win32/windows/Modal.h"
#include "platform/win32/windows/PlaceForm.h"

namespace win32 {
namespace {

constexpr DWORD kInfoBoxStyle = WS_POPUP | WS_DLGFRAME | WS_CLIPCHILDREN;
constexpr DWORD kInfoBoxExStyle = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME;

// Places a window of `size` pixels centred over `owner`'s window rectangle, or over the
// primary screen's work area when there is no owner, moved as needed to lie within the
// work area of the monitor it lands on. Returns the top-left corner.
POINT CentredPosition(HWND owner, SIZE size) {
    RECT area{};
    if (owner != nullptr && ::GetWindowRect(owner, &area)) {
        // centred over the owner
    } else if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) {
        area = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    }
    POINT corner{area.left + (area.right - area.left - size.cx) / 2, area.top + (area.bottom - area.top - size.cy) / 2};

    // An owner near a screen edge must not push the box (and its only button) off screen.
    const RECT wanted{corner.x, corner.y, corner.x + size.cx, corner.y + size.cy};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (::GetMonitorInfoW(::MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        corner.x = std::max(work.left, std::min(corner.x, work.right - size.cx));
        corner.y = std::max(work.top, std::min(corner.y, work.bottom - size.cy));
    }
    return corner;
}

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
