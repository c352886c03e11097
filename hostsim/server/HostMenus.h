#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "hostsim/model/ScriptApi.h"
#include "hostsim/server/WinInclude.h"

namespace hostsim {

// The main window's Tools menu commands: open a modal box that keeps the host busy, one that
// lets calls run, start the command Move, end the command.
inline constexpr UINT kBusyBoxCommand = 101;
inline constexpr UINT kRunsBoxCommand = 102;
inline constexpr UINT kStartCommandCommand = 103;
inline constexpr UINT kEndCommandCommand = 104;

// Gives `window` a menu bar with the Tools menu of the commands above; a window without it
// works the same, only a person cannot reach them. The window owns the menu from then on.
void AttachToolsMenu(HWND window);

// Asks with a popup menu at the client pixel of `owner` which of `labels` a click meant, as the
// host's selection menu does: the index chosen, or nothing when the menu is dismissed.
std::optional<std::size_t> ChooseFromMenu(HWND owner, const std::vector<std::string>& labels, int xPixels, int yPixels);

// Shows the modal dialog box of a kind, owned by `owner`, until the user (or CloseOwnedDialog)
// closes it. The caller says to the host what the box means while it is open.
void RunModalDialog(HWND owner, DialogKind kind);

// Presses OK in the modal box owned by `owner` on this thread; its modal loop ends once the
// current message has been handled. Nothing when no box is open.
void CloseOwnedDialog(HWND owner);

}  // namespace hostsim
