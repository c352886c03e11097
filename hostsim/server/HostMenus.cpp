#include "hostsim/server/HostMenus.h"

#include <string_view>

#include "hostsim/server/WideText.h"

namespace hostsim {

namespace {

struct OwnedDialogSearch {
    HWND owner;
    HWND found;
};

// A named callback, not a lambda: the 32-bit build needs the stdcall convention of WNDENUMPROC.
BOOL CALLBACK TakeOwnedDialog(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<OwnedDialogSearch*>(param);
    wchar_t className[16] = {};
    GetClassNameW(hwnd, className, 16);
    if (GetWindow(hwnd, GW_OWNER) == search->owner && std::wstring_view(className) == L"#32770") {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The modal box of the thread owned by `owner` (a message box is a dialog of class #32770), or
// null.
HWND FindOwnedDialog(HWND owner) {
    OwnedDialogSearch search{owner, nullptr};
    // FALSE only when the search stopped at the box.
    (void)EnumThreadWindows(GetCurrentThreadId(), TakeOwnedDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

void AttachToolsMenu(HWND window) {
    // The Tools menu lets a person see what a client does with a host that has a dialog box
    // open, of either kind, or is in the middle of a command.
    HMENU tools = CreatePopupMenu();
    HMENU bar = CreateMenu();
    if (tools != nullptr && bar != nullptr &&
        AppendMenuW(tools, MF_STRING, kBusyBoxCommand, L"&Open a dialog box (Rhino busy)") &&
        AppendMenuW(tools, MF_STRING, kRunsBoxCommand, L"Open a dialog box (calls &run)") &&
        AppendMenuW(tools, MF_SEPARATOR, 0, nullptr) &&
        AppendMenuW(tools, MF_STRING, kStartCommandCommand, L"&Start a command (Move)") &&
        AppendMenuW(tools, MF_STRING, kEndCommandCommand, L"&End the command\tEsc") &&
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(tools), L"&Tools")) {
        (void)SetMenu(window, bar);  // the window owns and destroys the menu from here on
    }
}

std::optional<std::size_t> ChooseFromMenu(HWND owner,
                                          const std::vector<std::string>& labels,
                                          int xPixels,
                                          int yPixels) {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) {
        return std::nullopt;
    }
    // Item ids are the label's position plus one: TrackPopupMenu answers 0 for no choice.
    for (std::size_t i = 0; i < labels.size(); ++i) {
        (void)AppendMenuW(menu, MF_STRING, i + 1, Utf8ToWide(labels[i]).c_str());  // a missing item is not offered
    }
    POINT screen{xPixels, yPixels};
    (void)ClientToScreen(owner, &screen);  // fails only for a destroyed window
    // TrackPopupMenu needs the owner in the foreground to close the menu on a click elsewhere.
    (void)SetForegroundWindow(owner);
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, screen.x,
                       screen.y, 0, owner, nullptr));
    (void)DestroyMenu(menu);
    if (chosen == 0 || chosen > labels.size()) {
        return std::nullopt;
    }
    return chosen - 1;
}

void RunModalDialog(HWND owner, DialogKind kind) {
    // COM dispatches incoming calls in the box's modal loop: the busy kind turns them away,
    // the other lets them run inside what counts as the user's command.
    if (kind == DialogKind::Busy) {
        (void)MessageBoxW(owner, L"Rhino is busy while this dialog box is open. Close it to let calls through.",
                          L"Busy", MB_OK | MB_ICONINFORMATION);
    } else {
        (void)MessageBoxW(owner,
                          L"A dialog box of a command is open. Calls run meanwhile, but Rhino is in a command: "
                          L"scripted commands fail and picks end at once. Close it to end the command.",
                          L"Command options", MB_OK | MB_ICONINFORMATION);
    }
}

void CloseOwnedDialog(HWND owner) {
    if (HWND box = FindOwnedDialog(owner)) {
        (void)PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
}

}  // namespace hostsim
