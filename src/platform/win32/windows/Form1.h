#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "platform/win32/base/WinInclude.h"
#include "platform/win32/windows/FormControls.h"
#include "platform/win32/windows/WindowClass.h"
#include "ui/ControlTables.h"
#include "ui/PanelEvents.h"

namespace win32 {

// The main panel: a fixed window with a title bar, system menu and close box (no
// minimise or maximise box), client area 4860 x 3465 twips, and the nineteen controls of
// its table. Created hidden at the system's default position; Show() runs the load step
// once and then shows it. Raises exactly the wired control events to a ui::PanelEvents:
// the clicks of Command1..Command8 and of the logo Pic1, and mouse presses and releases
// (any button) on Text1, Text2, Text5 and List1. The receiver reports failed commands; the
// window keeps only the guard that stops an exception at its window procedures.
class Form1 : public FormWindow {
  public:
    // Creates the window and its controls. Throws Win32Error when that fails.
    Form1();
    ~Form1() override;

    // The step run once before the panel is first shown (start-up goes here). It may
    // destroy the panel or post WM_QUIT to end the program before the panel appears.
    void SetLoadStep(std::function<void()> loadStep);
    // Where control events go; null (the default) drops them. Not owned.
    void SetEvents(ui::PanelEvents* events) { events_ = events; }
    // Runs once, after the window has gone (closed by the user, or destroyed with the host
    // window it was docked into). The program's entry ends the message loop here.
    void SetGoneStep(std::function<void()> goneStep) { goneStep_ = std::move(goneStep); }

    // Runs the load step if it has not run yet, then shows the panel. Returns false, and
    // shows nothing, when the panel no longer exists after the load step.
    bool Show();

    // The control with this identifier (always one of the table's).
    HWND Control(common::PanelControl control) const { return controls_.Get(ui::IdOf(control)); }

    // Sets the status label's text colour (until first set, the system's text colour) and
    // repaints the label.
    void SetStatusTextColor(COLORREF color);

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnWindowGone() override;

  private:
    void OnCommand(WORD id, WORD code);
    void OnActivate(WORD state);
    LRESULT OnCtlColorStatic(HDC dc, HWND control);
    // Passes the event to the receiver; what the receiver throws passes on.
    void Raise(common::PanelControl control, ui::PanelEvent event);
    void SubclassMouseControl(common::PanelControl control);
    static LRESULT CALLBACK
    MouseSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclassId, DWORD_PTR refData);

    FormControls controls_;
    std::function<void()> loadStep_;
    std::function<void()> goneStep_;
    bool loaded_ = false;
    ui::PanelEvents* events_ = nullptr;
    std::optional<COLORREF> statusColor_;
    HWND lastFocus_ = nullptr;
};

}  // namespace win32
