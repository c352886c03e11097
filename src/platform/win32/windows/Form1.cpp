#include "platform/win32/windows/Form1.h"

#include <commctrl.h>

#include "picking/PressHighlight.h"
#include "platform/win32/Resources.h"
#include "platform/win32/base/Win32Error.h"

namespace win32 {
namespace {

constexpr DWORD kForm1Style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;  // WS_CAPTION includes WS_BORDER
constexpr DWORD kForm1ExStyle = WS_EX_CONTROLPARENT;

// Each subclassed control's subclass id is its control identifier, so the procedure knows it.
UINT_PTR SubclassIdOf(common::PanelControl control) {
    return ui::IdOf(control);
}

}  // namespace

Form1::Form1() {
    const ui::FormSpec& spec = ui::Form1Spec();
    const SIZE size = WindowSizeForClient(spec.clientWidthTwips, spec.clientHeightTwips, kForm1Style, kForm1ExStyle);
    CreateForm(kForm1ExStyle, kForm1Style, nullptr, CW_USEDEFAULT, CW_USEDEFAULT, size.cx, size.cy);
    controls_.Create(Hwnd(), spec);

    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    // Shared icons (LR_SHARED) belong to the system's cache and are never destroyed.
    const auto bigIcon = ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_CURTATE), IMAGE_ICON,
                                      ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), LR_SHARED);
    const auto smallIcon = ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_CURTATE), IMAGE_ICON,
                                        ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    (void)::SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));  // answers the old icon
    (void)::SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));

    for (const common::PanelControl control : picking::kPressHighlightControls) {
        SubclassMouseControl(control);
    }
}

Form1::~Form1() {
    for (const common::PanelControl control : picking::kPressHighlightControls) {
        if (const HWND hwnd = Control(control); hwnd != nullptr && ::IsWindow(hwnd)) {
            (void)::RemoveWindowSubclass(hwnd, &Form1::MouseSubclassProc, SubclassIdOf(control));
        }
    }
}

void Form1::SetLoadStep(std::function<void()> loadStep) {
    loadStep_ = std::move(loadStep);
}

bool Form1::Show() {
    if (!loaded_) {
        loaded_ = true;
        if (loadStep_) {
            loadStep_();
        }
    }
    if (Hwnd() == nullptr) {
        return false;
    }
    (void)::ShowWindow(Hwnd(), SW_SHOW);  // answers the previous visibility
    (void)::UpdateWindow(Hwnd());         // paints now rather than at the next idle moment
    return true;
}

void Form1::SetStatusTextColor(COLORREF color) {
    statusColor_ = color;
    (void)::InvalidateRect(Control(common::PanelControl::Label2), nullptr, TRUE);  // repaint; cosmetic if refused
}

void Form1::OnWindowGone() {
    if (goneStep_) {
        goneStep_();
    }
}

LRESULT Form1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (!controls_.PressFocusedButtonOnEnter(wParam)) {
                OnCommand(LOWORD(wParam), HIWORD(wParam));
            }
            return 0;
        case WM_ACTIVATE:
            OnActivate(LOWORD(wParam));
            return 0;
        case WM_CTLCOLORSTATIC:
            // Before the forms' common painting: the status label has a colour of its own.
            return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        default:
            break;
    }
    if (const std::optional<LRESULT> painted = controls_.PaintMessageAnswer(Hwnd(), message, wParam, lParam)) {
        return *painted;
    }
    return ::DefWindowProcW(Hwnd(), message, wParam, lParam);
}

void Form1::OnCommand(WORD id, WORD code) {
    // A click on a button and on a notifying static (the logo) both arrive as code 0:
    // BN_CLICKED and STN_CLICKED are the same value. The buttons and the logo raise it; the
    // check box and the labels are not wired.
    if (code != BN_CLICKED) {
        return;
    }
    const ui::ControlSpec* spec = ui::FindControlById(ui::Form1Spec(), id);
    if (spec != nullptr && (spec->kind == ui::ControlKind::Button || spec->kind == ui::ControlKind::Picture)) {
        Raise(static_cast<common::PanelControl>(id), ui::PanelEvent::Click);
    }
}

void Form1::OnActivate(WORD state) {
    // Keep the keyboard focus on the control that had it, as a dialog does.
    if (state == WA_INACTIVE) {
        const HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(Hwnd(), focus)) {
            lastFocus_ = focus;
        }
        return;
    }
    HWND target = lastFocus_ != nullptr && ::IsWindow(lastFocus_) ? lastFocus_ : nullptr;
    if (target == nullptr) {
        target = ::GetNextDlgTabItem(Hwnd(), nullptr, FALSE);
    }
    if (target != nullptr) {
        (void)::SetFocus(target);  // answers the previous focus
    }
}

LRESULT Form1::OnCtlColorStatic(HDC dc, HWND control) {
    const HBRUSH brush = controls_.CtlColorStatic(dc, control);
    if (control == Control(common::PanelControl::Label2) && statusColor_) {
        (void)::SetTextColor(dc, *statusColor_);
    }
    return reinterpret_cast<LRESULT>(brush);
}

void Form1::Raise(common::PanelControl control, ui::PanelEvent event) {
    if (events_ != nullptr) {
        events_->OnPanelEvent(control, event);
    }
}

void Form1::SubclassMouseControl(common::PanelControl control) {
    const HWND hwnd = Control(control);
    ThrowLastErrorIf(
        !::SetWindowSubclass(hwnd, &Form1::MouseSubclassProc, SubclassIdOf(control), reinterpret_cast<DWORD_PTR>(this)),
        "SetWindowSubclass");
}

LRESULT CALLBACK Form1::MouseSubclassProc(HWND hwnd,
                                          UINT message,
                                          WPARAM wParam,
                                          LPARAM lParam,
                                          UINT_PTR subclassId,
                                          DWORD_PTR refData) {
    auto* self = reinterpret_cast<Form1*>(refData);
    std::optional<ui::PanelEvent> event;
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            event = ui::PanelEvent::MouseDown;
            break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            event = ui::PanelEvent::MouseUp;
            break;
        case WM_NCDESTROY:
            (void)::RemoveWindowSubclass(hwnd, &Form1::MouseSubclassProc, subclassId);  // gone either way
            break;
        default:
            break;
    }
    // A guard, not a report: the router shows a failed command's message itself, so only that
    // report failing can leave Raise, and it stops here, since no exception may unwind through
    // the system's subclass dispatch.
    const auto raise = [self, control = static_cast<common::PanelControl>(subclassId)](ui::PanelEvent raised) {
        try {
            self->Raise(control, raised);
        } catch (...) {
            // dropped: see above
        }
    };
    // A release is raised before the control's own handling: an edit box opens its context
    // menu on the right-button release, inside that handling, and the menu's loop would hold
    // the release handler back until the menu closes.
    if (event == ui::PanelEvent::MouseUp) {
        raise(*event);
    }
    // A press is raised after it: the control first does its own work (focus, caret,
    // selection), so a handler reading the list's selection sees the row just pressed.
    const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
    if (event == ui::PanelEvent::MouseDown) {
        raise(*event);
    }
    return result;
}

}  // namespace win32
