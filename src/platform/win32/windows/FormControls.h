#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/PanelSurface.h"
#include "platform/win32/base/UniqueHandle.h"
#include "platform/win32/base/WinInclude.h"
#include "ui/ControlTables.h"

namespace win32 {

COLORREF ToColorRef(common::Rgb rgb);

// The whole text of a window or control, as UTF-8.
std::string HwndText(HWND hwnd);
// Replaces the text of a window or control; throws Win32Error when the control refuses it.
void HwndSetText(HWND hwnd, std::string_view text);
void HwndSetVisible(HWND hwnd, bool visible);

// The outer size in pixels of a window whose client area is `clientWidthTwips` x
// `clientHeightTwips` with the given frame styles.
SIZE WindowSizeForClient(int clientWidthTwips, int clientHeightTwips, DWORD style, DWORD exStyle);

// The standard controls of one form, created from its table and owned by the form's
// window (destroyed with it). Keeps what painting them needs: the font, the coloured
// brushes and the logo picture. Geometry goes from twips to pixels only here, with the
// display's twips per pixel at creation time.
class FormControls {
  public:
    FormControls() = default;
    ~FormControls();
    FormControls(const FormControls&) = delete;
    FormControls& operator=(const FormControls&) = delete;

    // Creates every control of `spec` as a child of `form`, in tab order (z-order follows
    // creation, and Tab walks the z-order), with the font and tooltips. Throws Win32Error
    // when a control cannot be created.
    void Create(HWND form, const ui::FormSpec& spec);

    // The control with identifier `id`, or null.
    HWND Get(std::uint16_t id) const;
    // The table entry of the control `hwnd`, or nullptr when it is not one of them.
    const ui::ControlSpec* SpecOf(HWND hwnd) const;
    HFONT Font() const { return static_cast<HFONT>(font_.Get()); }

    // Enter on an owner-drawn button, which the dialog manager reports as WM_COMMAND IDOK (such
    // a button has no push-button dialog code): when none of these controls is IDOK and the
    // focus is on one of their buttons, presses that button (its BN_CLICKED follows) and
    // returns true. False for any other command, and for IDOK in a form that has a control
    // IDOK, which is that control's own click.
    bool PressFocusedButtonOnEnter(WPARAM commandWParam) const;

    // Paints an owner-drawn control (coloured button face or logo picture) for
    // WM_DRAWITEM; false when the item is not one of this form's.
    bool DrawItem(const DRAWITEMSTRUCT& item) const;

    // Sets up `dc` for WM_CTLCOLORSTATIC of `control` (background from the table, or the
    // form's, and the system's text colour) and returns the brush to paint its background.
    HBRUSH CtlColorStatic(HDC dc, HWND control) const;

    // The painting messages every form of the tool answers alike: WM_CTLCOLORSTATIC
    // (CtlColorStatic), WM_DRAWITEM (DrawItem) and WM_ERASEBKGND (EraseBackground). The result
    // for the window procedure to return, or nothing for another message and for a
    // WM_DRAWITEM that is not of this form's controls.
    std::optional<LRESULT> PaintMessageAnswer(HWND form, UINT message, WPARAM wParam, LPARAM lParam) const;

    // The brush of the form's own background (its table colour or the system face).
    HBRUSH FormBrush() const;
    // Paints the whole client area of `form` with that brush, for WM_ERASEBKGND.
    void EraseBackground(HWND form, HDC dc) const;

  private:
    HBRUSH BrushFor(std::optional<common::Rgb> rgb) const;
    void AddTooltip(HWND form, HWND control, std::string_view text);

    const ui::FormSpec* spec_ = nullptr;
    std::vector<std::pair<std::uint16_t, HWND>> controls_;
    UniqueGdiObject font_;
    UniqueGdiObject logo_;
    // One solid brush per table colour, made once.
    mutable std::vector<std::pair<COLORREF, UniqueGdiObject>> brushes_;
    HWND tooltip_ = nullptr;
};

}  // namespace win32
