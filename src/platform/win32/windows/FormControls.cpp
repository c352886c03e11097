#include "platform/win32/windows/FormControls.h"

#include <commctrl.h>

#include <iterator>

#include "platform/win32/Resources.h"
#include "platform/win32/base/TextConversion.h"
#include "platform/win32/base/Win32Error.h"
#include "platform/win32/windows/PlaceForm.h"

namespace win32 {
namespace {

struct ControlClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

// The standard control and styles that show one kind of table control. Every control that
// takes the keyboard is a tab stop; labels start a group so that a run of option buttons
// ends before them.
ControlClass ClassFor(const ui::ControlSpec& control, bool firstOfOptionGroup) {
    using K = ui::ControlKind;
    switch (control.kind) {
        case K::Button:
            // A coloured face needs owner drawing: a themed push button paints the theme's face.
            return {L"BUTTON", WS_TABSTOP | (control.face ? DWORD{BS_OWNERDRAW} : DWORD{BS_PUSHBUTTON}), 0};
        case K::Edit:
            return {L"EDIT", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case K::ListBox:
            // Not sorted, single selection; no integral height, so it keeps the table's height.
            return {L"LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
                    WS_EX_CLIENTEDGE};
        case K::CheckBox:
            return {L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0};
        case K::Option:
            // One tab stop per group: Tab enters the group at its first (or checked) button.
            return {L"BUTTON", BS_AUTORADIOBUTTON | (firstOfOptionGroup ? DWORD{WS_GROUP | WS_TABSTOP} : DWORD{0}), 0};
        case K::Label:
            // SS_NOTIFY lets a label with a tooltip see the mouse; SS_NOPREFIX shows '&' as is.
            return {L"STATIC",
                    WS_GROUP | SS_LEFT | SS_NOPREFIX | (control.tooltip.empty() ? DWORD{0} : DWORD{SS_NOTIFY}), 0};
        case K::Picture:
            // Drawn by the form: the picture is shown unscaled from its top-left corner and
            // clipped to the control, where SS_BITMAP would resize the control to the image.
            return {L"STATIC", WS_GROUP | SS_OWNERDRAW | SS_NOTIFY, 0};
    }
    return {L"STATIC", 0, 0};
}

int LogoResource(ui::LogoImage logo) {
    return logo == ui::LogoImage::Panel47x46 ? IDB_LOGO47 : IDB_LOGO46;
}

void DrawFaceButton(const DRAWITEMSTRUCT& item, COLORREF face) {
    const HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;

    if (focused) {
        // The dark frame a focused push button carries.
        (void)::FrameRect(dc, &rect, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));  // decoration only
        (void)::InflateRect(&rect, -1, -1);
    }
    {
        const UniqueGdiObject faceBrush(::CreateSolidBrush(face));
        (void)::FillRect(dc, &rect, static_cast<HBRUSH>(faceBrush.Get()));  // an unfilled face is cosmetic
    }
    (void)::DrawEdge(dc, &rect, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);

    wchar_t caption[128] = {};
    (void)::GetWindowTextW(item.hwndItem, caption, static_cast<int>(std::size(caption)));  // empty on failure
    RECT textRect = rect;
    if (pressed) {
        (void)::OffsetRect(&textRect, 1, 1);  // the caption sinks with the face
    }
    (void)::SetBkMode(dc, TRANSPARENT);
    (void)::SetTextColor(dc, ::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    (void)::DrawTextW(dc, caption, -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    if (focused) {
        RECT focusRect = rect;
        (void)::InflateRect(&focusRect, -3, -3);
        (void)::DrawFocusRect(dc, &focusRect);
    }
}

void DrawLogo(const DRAWITEMSTRUCT& item, HBITMAP logo, HBRUSH background) {
    (void)::FillRect(item.hDC, &item.rcItem, background);  // the area the picture does not cover
    if (logo == nullptr) {
        return;
    }
    BITMAP info{};
    if (::GetObjectW(logo, sizeof(info), &info) == 0) {
        return;
    }
    const UniqueMemoryDc memory(::CreateCompatibleDC(item.hDC));
    if (!memory.IsValid()) {
        return;
    }
    const SelectionScope selected(memory.Get(), logo);
    // Unscaled from the top-left corner; the control's rectangle clips what does not fit.
    (void)::BitBlt(item.hDC, 0, 0, info.bmWidth, info.bmHeight, memory.Get(), 0, 0, SRCCOPY);
}

}  // namespace

COLORREF ToColorRef(common::Rgb rgb) {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

std::string HwndText(HWND hwnd) {
    const int length = ::GetWindowTextLengthW(hwnd);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return WideToUtf8(text);
}

void HwndSetText(HWND hwnd, std::string_view text) {
    const std::wstring wide = Utf8ToWide(text);
    ThrowLastErrorIf(!::SetWindowTextW(hwnd, wide.c_str()), "SetWindowTextW");
}

void HwndSetVisible(HWND hwnd, bool visible) {
    (void)::ShowWindow(hwnd, visible ? SW_SHOWNA : SW_HIDE);  // answers the previous visibility
}

SIZE WindowSizeForClient(int clientWidthTwips, int clientHeightTwips, DWORD style, DWORD exStyle) {
    RECT rect{0, 0, TwipsToPixelsX(clientWidthTwips), TwipsToPixelsY(clientHeightTwips)};
    ThrowLastErrorIf(!::AdjustWindowRectEx(&rect, style, FALSE, exStyle), "AdjustWindowRectEx");
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void FormControls::Create(HWND form, const ui::FormSpec& spec) {
    spec_ = &spec;
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);

    // The classic 8-point dialog font, sized for the display's vertical DPI.
    const UniqueWindowDc screen = HwndGetDc(nullptr);
    const int dpiY = screen.IsValid() ? ::GetDeviceCaps(screen.Get().hdc, LOGPIXELSY) : 96;
    font_.Reset(::CreateFontW(-::MulDiv(8, dpiY, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                              L"MS Sans Serif"));

    // The tooltip window is not owned by the form: with an owned window present, Wine moves
    // that window instead and PlaceForm's HWND_TOPMOST does not reach the form itself. It is
    // destroyed with this object instead.
    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                                 nullptr);
    // Without tooltips the form still works; they are left out if the control is missing.

    bool previousWasOption = false;
    for (const ui::ControlSpec& control : spec.controls) {
        const bool isOption = control.kind == ui::ControlKind::Option;
        const ControlClass cls = ClassFor(control, isOption && !previousWasOption);
        previousWasOption = isOption;
        const std::wstring caption = Utf8ToWide(control.caption);
        const HWND hwnd =
            ::CreateWindowExW(cls.exStyle, cls.className, caption.c_str(), WS_CHILD | WS_VISIBLE | cls.style,
                              TwipsToPixelsX(control.rect.leftTwips), TwipsToPixelsY(control.rect.topTwips),
                              TwipsToPixelsX(control.rect.widthTwips), TwipsToPixelsY(control.rect.heightTwips), form,
                              reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(control.id)), instance, nullptr);
        ThrowLastErrorIf(hwnd == nullptr, "CreateWindowExW (control)");
        controls_.emplace_back(control.id, hwnd);
        (void)::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);  // no result
        if (control.initiallyChecked) {
            (void)::SendMessageW(hwnd, BM_SETCHECK, BST_CHECKED, 0);  // always answers 0
        }
        if (control.logo != ui::LogoImage::None && !logo_.IsValid()) {
            logo_.Reset(::LoadImageW(instance, MAKEINTRESOURCEW(LogoResource(control.logo)), IMAGE_BITMAP, 0, 0,
                                     LR_CREATEDIBSECTION));
        }
        if (!control.tooltip.empty()) {
            AddTooltip(form, hwnd, control.tooltip);
        }
    }
}

FormControls::~FormControls() {
    if (tooltip_ != nullptr) {
        (void)::DestroyWindow(tooltip_);  // nothing more to do if it is already gone
    }
}

void FormControls::AddTooltip(HWND form, HWND control, std::string_view text) {
    if (tooltip_ == nullptr) {
        return;
    }
    std::wstring wide = Utf8ToWide(text);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = form;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = wide.data();                                                       // copied by the tooltip control
    (void)::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));  // a missing tip is cosmetic
}

HWND FormControls::Get(std::uint16_t id) const {
    for (const auto& [controlId, hwnd] : controls_) {
        if (controlId == id) {
            return hwnd;
        }
    }
    return nullptr;
}

const ui::ControlSpec* FormControls::SpecOf(HWND hwnd) const {
    if (spec_ == nullptr || hwnd == nullptr) {
        return nullptr;
    }
    for (const auto& [controlId, controlHwnd] : controls_) {
        if (controlHwnd == hwnd) {
            return ui::FindControlById(*spec_, controlId);
        }
    }
    return nullptr;
}

bool FormControls::PressFocusedButtonOnEnter(WPARAM commandWParam) const {
    if (LOWORD(commandWParam) != IDOK || HIWORD(commandWParam) != BN_CLICKED || Get(IDOK) != nullptr) {
        return false;
    }
    const HWND focus = ::GetFocus();
    const ui::ControlSpec* spec = SpecOf(focus);
    if (spec == nullptr || spec->kind != ui::ControlKind::Button) {
        return false;
    }
    (void)::SendMessageW(focus, BM_CLICK, 0, 0);  // answers nothing; the click arrives as BN_CLICKED
    return true;
}

HBRUSH FormControls::BrushFor(std::optional<common::Rgb> rgb) const {
    if (!rgb) {
        return ::GetSysColorBrush(COLOR_BTNFACE);  // a system brush: never freed
    }
    const COLORREF color = ToColorRef(*rgb);
    for (const auto& [brushColor, brush] : brushes_) {
        if (brushColor == color) {
            return static_cast<HBRUSH>(brush.Get());
        }
    }
    brushes_.emplace_back(color, UniqueGdiObject(::CreateSolidBrush(color)));
    return static_cast<HBRUSH>(brushes_.back().second.Get());
}

HBRUSH FormControls::FormBrush() const {
    return BrushFor(spec_ != nullptr ? spec_->background : std::nullopt);
}

HBRUSH FormControls::CtlColorStatic(HDC dc, HWND control) const {
    const ui::ControlSpec* spec = SpecOf(control);
    std::optional<common::Rgb> background = spec_ != nullptr ? spec_->background : std::nullopt;
    if (spec != nullptr && spec->face && spec->kind != ui::ControlKind::Button) {
        background = spec->face;
    }
    (void)::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    (void)::SetBkColor(dc, background ? ToColorRef(*background) : ::GetSysColor(COLOR_BTNFACE));
    return BrushFor(background);
}

std::optional<LRESULT> FormControls::PaintMessageAnswer(HWND form, UINT message, WPARAM wParam, LPARAM lParam) const {
    switch (message) {
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<LRESULT>(
                CtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
        case WM_DRAWITEM:
            if (DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) {
                return TRUE;
            }
            return std::nullopt;
        case WM_ERASEBKGND:
            EraseBackground(form, reinterpret_cast<HDC>(wParam));
            return TRUE;
        default:
            return std::nullopt;
    }
}

void FormControls::EraseBackground(HWND form, HDC dc) const {
    RECT client{};
    (void)::GetClientRect(form, &client);        // an empty rectangle paints nothing
    (void)::FillRect(dc, &client, FormBrush());  // cosmetic if refused
}

bool FormControls::DrawItem(const DRAWITEMSTRUCT& item) const {
    const ui::ControlSpec* spec = SpecOf(item.hwndItem);
    if (spec == nullptr) {
        return false;
    }
    if (item.CtlType == ODT_BUTTON && spec->face) {
        DrawFaceButton(item, ToColorRef(*spec->face));
        return true;
    }
    if (item.CtlType == ODT_STATIC && spec->kind == ui::ControlKind::Picture) {
        DrawLogo(item, static_cast<HBITMAP>(logo_.Get()), FormBrush());
        return true;
    }
    return false;
}

}  // namespace win32
