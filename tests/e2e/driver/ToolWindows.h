#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/base/WinInclude.h"
#include "ui/ControlTables.h"

namespace driver {

// The window class of all three windows of the tool and the panel's title.
inline constexpr wchar_t kFormClass[] = L"ThunderRT6FormDC";
inline constexpr wchar_t kPanelTitle[] = L"Curtate Cycloid curve V2 by Vendrel";

// How long a cross-process window message may take before the tool counts as hung.
inline constexpr UINT kMessageTimeoutMs = 5000;

enum class MouseButton { Left, Right, Middle };

// The text of any window (also of another process), read with WM_GETTEXT under a timeout.
std::string WindowText(HWND window);
// The window's class name.
std::wstring ClassOf(HWND window);
// True when the window itself carries WS_VISIBLE (its parents are not looked at, so a
// control of a docked panel counts as shown even though Wine does not draw it).
bool HasVisibleStyle(HWND window);

// The visible top-level windows of a process.
std::vector<HWND> TopLevelWindowsOf(DWORD processId);
// The panel of the tool process: a window of class ThunderRT6FormDC with the panel's title,
// either top-level or docked as a child of another process's window; null when there is none.
HWND FindPanel(DWORD toolProcessId);

// A message window of the tool (the information box) as it is shown.
struct InfoBox {
    HWND window = nullptr;
    std::string message;
};
// The information box the tool shows, if any: a visible top-level ThunderRT6FormDC window of
// the process with the message label and "OK".
std::optional<InfoBox> FindInfoBox(DWORD toolProcessId);
// Clicks "OK" of the box (posted, as the user's click would arrive).
void ClickInfoBoxOk(HWND box);

// The system's message box (MessageBoxW, class "#32770") the process shows, if any; null when
// there is none.
HWND FindSystemMessageBox(DWORD processId);

// The box that asks about a busy Rhino, if shown: a visible top-level ThunderRT6FormDC window
// of the process with "Retry" and "Cancel"; null when there is none.
HWND FindBusyBox(DWORD toolProcessId);
// Clicks "Retry" (true) or "Cancel" (false) of the busy box (posted, as the user's click).
void AnswerBusyBox(HWND box, bool retry);

// The host version chooser, if shown: a visible top-level window of the process holding the
// "Rhino3" and "Rhino4" option buttons.
HWND FindChooser(DWORD toolProcessId);
// Selects "Rhino3" (version 3) or "Rhino4" (version 4) by the option button's click.
void ChooseVersion(HWND chooser, int version);

// The main panel of a running tool, driven from outside as a user would: clicks and mouse
// presses are posted, never sent, since a handler may open a modal box and a sent message
// would then block the driver; reads go through WM_GETTEXT and list-box messages with a
// timeout.
class Panel {
  public:
    Panel() = default;
    Panel(HWND window, DWORD toolProcessId) : window_(window), processId_(toolProcessId) {}

    HWND Window() const { return window_; }
    HWND Control(common::PanelControl id) const;

    // Posts the BN_CLICKED command of a button, as a click on it arrives.
    void Click(common::PanelControl button) const;
    // Replaces a text box's whole text, as typing or pasting would.
    void SetText(common::PanelControl field, const std::string& text) const;
    std::string Text(common::PanelControl control) const;

    std::vector<std::string> ListRows() const;
    // Makes `row` the list's selected row (no notification); -1 for none.
    void SelectListRow(int row) const;
    std::optional<int> SelectedListRow() const;

    bool Checked(common::PanelControl checkBox) const;
    void SetChecked(common::PanelControl checkBox, bool checked) const;

    // Posts a mouse button press or release on a control, at its centre (or, for the list,
    // on row `row` when given).
    void Press(common::PanelControl control, MouseButton button, std::optional<int> row = std::nullopt) const;
    void Release(common::PanelControl control, MouseButton button, std::optional<int> row = std::nullopt) const;

    // The status label Label2.
    std::string Status() const { return Text(common::PanelControl::Label2); }
    bool StatusShown() const { return HasVisibleStyle(Control(common::PanelControl::Label2)); }

    // Waits until everything posted to the tool so far has been taken from its queue by a
    // message loop: the main loop (the tool is idle) or a modal loop (an information box is
    // open). Marks are posted one after the other through the queue and each must come back;
    // a handler that lets pending messages run mid-way takes one, not the next. Since a
    // thread waiting for a cross-process call may also take posted messages, `hostActivity`
    // (when given: any number that grows with every call the host answers) must stay the
    // same over two rounds too. False when the tool did not settle within `timeoutMs`.
    bool WaitIdle(DWORD timeoutMs = 20000, const std::function<std::uint64_t()>& hostActivity = {}) const;

  private:
    void PostMouse(common::PanelControl control, MouseButton button, bool down, std::optional<int> row) const;

    HWND window_ = nullptr;
    DWORD processId_ = 0;
};

}  // namespace driver
