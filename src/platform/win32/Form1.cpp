#include "platform/win32/Form1.h"

#include <commctrl.h>

#include <exception>
#include <string>

#include "platform/win32/MyInfoBox.h"
#include "platform/win32/Resources.h"
#include "platform/win32/Win32Error.h"

namespace win32 {
namespace {

constexpr DWORD kForm1Style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;  // WS_CAPTION includes WS_BORDER
constexpr DWORD kForm1ExStyle = WS_EX_CONTROLPARENT;

struct CommandRoute {
    ui::Form1Id id;
    ui::PanelControl control;
};

// The controls whose click has a handler.
constexpr CommandRoute kClickRoutes[] = {
    {ui::Form1Id::Command1, ui::PanelControl::Command1}, {ui::Form1Id::Command2, ui::PanelControl::Command2},
    {ui::Form1Id::Command3, ui::PanelControl::Command3}, {ui::Form1Id::Command4, ui::PanelControl::Command4},
    {ui::Form1Id::Command5, ui::PanelControl::Command5}, {ui::Form1Id::Command6, ui::PanelControl::Command6},
    {ui::Form1Id::Command7, ui::PanelControl::Command7}, {ui::Form1Id::Command8, ui::PanelControl::Command8},
    {ui::Form1Id::Pic1, ui::PanelControl::Pic1},
};

// The controls whose mouse presses and releases have a handler.
constexpr CommandRoute kMouseRoutes[] = {
    {ui::Form1Id::Text1, ui::PanelControl::Text1},
    {ui::Form1Id::Text2, ui::PanelControl::Text2},
    {ui::Form1Id::Text5, ui::PanelControl::Text5},
    {ui::Form1Id::List1, ui::PanelControl::List1},
};

// Each subclassed control's subclass id names its control, so the procedure knows it.
UINT_PTR SubclassIdOf(ui::PanelControl control) {
    return static_cast<UINT_PTR>(control) + 1;
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

    for (const CommandRoute& route : kMouseRoutes) {
        SubclassMouseControl(route.id, route.control);
    }
}

Form1::~Form1() {
    for (const CommandRoute& route : kMouseRoutes) {
        if (const HWND control = Control(route.id); control != nullptr && ::IsWindow(control)) {
            (void)::RemoveWindowSubclass(control, &Form1::MouseSubclassProc, SubclassIdOf(route.control));
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
    (void)::InvalidateRect(Control(ui::Form1Id::Label2), nullptr, TRUE);  // repaint; cosmetic if refused
}

void Form1::OnWindowGone() {
    if (goneStep_) {
        goneStep_();
    }
}

LRESULT Form1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_ACTIVATE:
            OnActivate(LOWORD(wParam));
            return 0;
        case WM_CTLCOLORSTATIC:
            return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
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

void Form1::OnCommand(WORD id, WORD code) {
    if (id == IDOK) {
        // The dialog manager sends IDOK for Enter when the focused button is owner-drawn
        // (it has no default-button code): press the focused button as Enter would.
        const HWND focus = ::GetFocus();
        const ui::ControlSpec* spec = controls_.SpecOf(focus);
        if (spec != nullptr && spec->kind == ui::ControlKind::Button) {
            (void)::SendMessageW(focus, BM_CLICK, 0, 0);  // raises its BN_CLICKED
        }
        return;
    }
    const bool isClick = (code == BN_CLICKED && id != ui::IdOf(ui::Form1Id::Pic1)) ||
                         (code == STN_CLICKED && id == ui::IdOf(ui::Form1Id::Pic1));
    if (!isClick) {
        return;
    }
    for (const CommandRoute& route : kClickRoutes) {
        if (ui::IdOf(route.id) == id) {
            Raise(route.control, ui::PanelEvent::Click);
            return;
        }
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
    if (control == Control(ui::Form1Id::Label2) && statusColor_) {
        (void)::SetTextColor(dc, *statusColor_);
    }
    return reinterpret_cast<LRESULT>(brush);
}

void Form1::Raise(ui::PanelControl control, ui::PanelEvent event) {
    if (events_ == nullptr) {
        return;
    }
    std::string failure;
    try {
        events_->OnPanelEvent(control, event);
        return;
    } catch (const std::exception& error) {
        failure = error.what();
    } catch (...) {
        failure = "The command failed.";
    }
    try {
        ShowInfoBox(Hwnd(), failure);
    } catch (...) {
        // Not even the information box could be shown; the panel goes on regardless.
    }
}

void Form1::SubclassMouseControl(ui::Form1Id id, ui::PanelControl control) {
    const HWND hwnd = Control(id);
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
    // A release is raised before the control's own handling: an edit box opens its context
    // menu on the right-button release, inside that handling, and the menu's loop would hold
    // the release handler back until the menu closes.
    if (event == ui::PanelEvent::MouseUp) {
        self->Raise(static_cast<ui::PanelControl>(subclassId - 1), *event);
    }
    // A press is raised after it: the control first does its own work (focus, caret,
    // selection), so a handler reading the list's selection sees the row just pressed.
    const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
    if (event == ui::PanelEvent::MouseDown) {
        self->Raise(static_cast<ui::PanelControl>(subclassId - 1), *event);
    }
    return result;
}

}  // namespace win32
