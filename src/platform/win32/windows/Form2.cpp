#include "platform/win32/windows/Form2.h"

#include "platform/win32/base/Win32Error.h"
#include "platform/win32/windows/Modal.h"
#include "platform/win32/windows/PlaceForm.h"
#include "ui/ControlTables.h"

namespace win32 {
namespace {

constexpr DWORD kForm2Style = WS_POPUP | WS_THICKFRAME | WS_CLIPCHILDREN;
constexpr DWORD kForm2ExStyle = WS_EX_CONTROLPARENT;
// The system gives its default position to overlapped windows alone (a pop-up asking for it
// lands at 0, 0), so the chooser is created overlapped and takes its own frame once placed.
constexpr DWORD kForm2CreateStyle = WS_OVERLAPPED | WS_THICKFRAME | WS_CLIPCHILDREN;

}  // namespace

Form2::Form2(HWND owner, std::int16_t& hostVersion) : owner_(owner), hostVersion_(hostVersion) {
    const ui::FormSpec& spec = ui::Form2Spec();
    const SIZE size = WindowSizeForClient(spec.clientWidthTwips, spec.clientHeightTwips, kForm2Style, kForm2ExStyle);
    CreateForm(kForm2ExStyle, kForm2CreateStyle, owner, CW_USEDEFAULT, CW_USEDEFAULT, size.cx, size.cy);
    // Creation adds a title bar to an overlapped window; the chooser has none. The outer size
    // is kept, and with the new frame the client area is the table's.
    (void)::SetWindowLongPtrW(Hwnd(), GWL_STYLE, kForm2Style);  // answers the previous style
    ThrowLastErrorIf(!::SetWindowPos(Hwnd(), nullptr, 0, 0, 0, 0,
                                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE),
                     "SetWindowPos");
    controls_.Create(Hwnd(), spec);

    // Load step, in this order.
    PlaceForm(Hwnd(), true, false);
    (void)::SendMessageW(controls_.Get(ui::kForm2Option1Id), BM_SETCHECK, BST_UNCHECKED, 0);  // always answers 0
    (void)::SendMessageW(controls_.Get(ui::kForm2Option2Id), BM_SETCHECK, BST_UNCHECKED, 0);
    hostVersion_ = 0;
}

void Form2::ShowModal() {
    closed_ = false;
    RunModal(*this, owner_, [this] { return closed_; });
}

LRESULT Form2::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const WORD id = LOWORD(wParam);
            if (HIWORD(wParam) == BN_CLICKED && (id == ui::kForm2Option1Id || id == ui::kForm2Option2Id)) {
                hostVersion_ = id == ui::kForm2Option1Id ? 3 : 4;
                closed_ = true;  // the modal loop ends and destroys the chooser
            } else if (id == IDCANCEL) {
                closed_ = true;  // Esc: closed without a choice
            }
            return 0;
        }
        case WM_CLOSE:
            // Alt+F4: closed without a choice; the version stays 0.
            closed_ = true;
            return 0;
        case WM_ACTIVATE:
            // The focus stays on the window itself: an unchecked option button that gets
            // the focus reports a click, which would pick a version by itself.
            if (LOWORD(wParam) != WA_INACTIVE) {
                (void)::SetFocus(Hwnd());  // answers the previous focus
            }
            return 0;
        case WM_CTLCOLORBTN:
            // The option buttons take the form's background as its labels do.
            return reinterpret_cast<LRESULT>(
                controls_.CtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
        default:
            break;
    }
    if (const std::optional<LRESULT> painted = controls_.PaintMessageAnswer(Hwnd(), message, wParam, lParam)) {
        return *painted;
    }
    return ::DefWindowProcW(Hwnd(), message, wParam, lParam);
}

std::int16_t ShowChooser(HWND owner) {
    std::int16_t hostVersion = 0;
    Form2 chooser(owner, hostVersion);
    chooser.ShowModal();
    return hostVersion;
}

}  // namespace win32
