#include "ToolWindows.h"

#include <stdexcept>

#include "ChildProcess.h"
#include "platform/win32/base/TextConversion.h"

namespace driver {

namespace {

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kMessageTimeoutMs, &result)) {
        throw std::runtime_error("the tool did not answer window message " + std::to_string(message) +
                                 " within the timeout");
    }
    return static_cast<LRESULT>(result);
}

DWORD ProcessOf(HWND window) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    return processId;
}

struct EnumState {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM state) {
    auto* s = reinterpret_cast<EnumState*>(state);
    if (ProcessOf(window) == s->processId && ::IsWindowVisible(window)) {
        s->found.push_back(window);
    }
    return TRUE;
}

BOOL CALLBACK CollectAllTopLevel(HWND window, LPARAM state) {
    reinterpret_cast<std::vector<HWND>*>(state)->push_back(window);
    return TRUE;
}

bool IsPanel(HWND window, DWORD processId) {
    return ProcessOf(window) == processId && ClassOf(window) == kFormClass &&
           win32::Utf8ToWide(WindowText(window)) == kPanelTitle;
}

struct ChildSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindPanelChild(HWND window, LPARAM state) {
    auto* s = reinterpret_cast<ChildSearch*>(state);
    if (IsPanel(window, s->processId)) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

void PostOrThrow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!::PostMessageW(window, message, wParam, lParam)) {
        throw std::runtime_error("PostMessage " + std::to_string(message) + " failed");
    }
}

}  // namespace

std::string WindowText(HWND window) {
    if (window == nullptr) {
        return {};
    }
    const auto length = static_cast<std::size_t>(SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    const auto copied = static_cast<std::size_t>(
        SendWithTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(copied);
    return win32::WideToUtf8(text);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    const int length = ::GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

bool HasVisibleStyle(HWND window) {
    return window != nullptr && (::GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    EnumState state{processId, {}};
    ::EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

HWND FindPanel(DWORD toolProcessId) {
    std::vector<HWND> all;
    ::EnumWindows(CollectAllTopLevel, reinterpret_cast<LPARAM>(&all));
    for (HWND window : all) {
        if (IsPanel(window, toolProcessId)) {
            return window;
        }
    }
    // Docked: a child of another process's window (EnumChildWindows walks all descendants).
    for (HWND window : all) {
        ChildSearch search{toolProcessId, nullptr};
        ::EnumChildWindows(window, FindPanelChild, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
    }
    return nullptr;
}

std::optional<InfoBox> FindInfoBox(DWORD toolProcessId) {
    for (HWND window : TopLevelWindowsOf(toolProcessId)) {
        if (ClassOf(window) != kFormClass) {
            continue;
        }
        HWND label = ::GetDlgItem(window, ui::kInfoBoxLabel1Id);
        HWND ok = ::GetDlgItem(window, ui::kInfoBoxOkId);
        if (label != nullptr && ok != nullptr) {
            try {
                return InfoBox{window, WindowText(label)};
            } catch (const std::runtime_error&) {
                return InfoBox{window, "(the box did not answer)"};
            }
        }
    }
    return std::nullopt;
}

void ClickInfoBoxOk(HWND box) {
    HWND ok = ::GetDlgItem(box, ui::kInfoBoxOkId);
    PostOrThrow(box, WM_COMMAND, MAKEWPARAM(ui::kInfoBoxOkId, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
}

HWND FindSystemMessageBox(DWORD processId) {
    for (HWND window : TopLevelWindowsOf(processId)) {
        if (ClassOf(window) == L"#32770") {
            return window;
        }
    }
    return nullptr;
}

HWND FindBusyBox(DWORD toolProcessId) {
    for (HWND window : TopLevelWindowsOf(toolProcessId)) {
        if (ClassOf(window) == kFormClass && ::GetDlgItem(window, ui::kBusyBoxRetryId) != nullptr &&
            ::GetDlgItem(window, ui::kBusyBoxCancelId) != nullptr) {
            return window;
        }
    }
    return nullptr;
}

void AnswerBusyBox(HWND box, bool retry) {
    const std::uint16_t id = retry ? ui::kBusyBoxRetryId : ui::kBusyBoxCancelId;
    PostOrThrow(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, id)));
}

HWND FindChooser(DWORD toolProcessId) {
    for (HWND window : TopLevelWindowsOf(toolProcessId)) {
        if (ClassOf(window) == kFormClass && ::GetDlgItem(window, ui::kForm2Option1Id) != nullptr &&
            ::GetDlgItem(window, ui::kForm2Option2Id) != nullptr) {
            return window;
        }
    }
    return nullptr;
}

void ChooseVersion(HWND chooser, int version) {
    const std::uint16_t id = version == 3 ? ui::kForm2Option1Id : ui::kForm2Option2Id;
    PostOrThrow(chooser, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(chooser, id)));
}

HWND Panel::Control(common::PanelControl id) const {
    HWND control = ::GetDlgItem(window_, ui::IdOf(id));
    if (control == nullptr) {
        throw std::runtime_error("the panel has no control with id " + std::to_string(ui::IdOf(id)));
    }
    return control;
}

void Panel::Click(common::PanelControl button) const {
    PostOrThrow(window_, WM_COMMAND, MAKEWPARAM(ui::IdOf(button), BN_CLICKED),
                reinterpret_cast<LPARAM>(Control(button)));
}

void Panel::SetText(common::PanelControl field, const std::string& text) const {
    const std::wstring wide = win32::Utf8ToWide(text);
    SendWithTimeout(Control(field), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

std::string Panel::Text(common::PanelControl control) const {
    return WindowText(Control(control));
}

std::vector<std::string> Panel::ListRows() const {
    HWND list = Control(common::PanelControl::List1);
    const auto count = SendWithTimeout(list, LB_GETCOUNT, 0, 0);
    std::vector<std::string> rows;
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = SendWithTimeout(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<std::size_t>(length < 0 ? 0 : length) + 1, L'\0');
        const auto copied =
            SendWithTimeout(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(copied < 0 ? 0 : copied));
        rows.push_back(win32::WideToUtf8(text));
    }
    return rows;
}

void Panel::SelectListRow(int row) const {
    SendWithTimeout(Control(common::PanelControl::List1), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

std::optional<int> Panel::SelectedListRow() const {
    const auto row = SendWithTimeout(Control(common::PanelControl::List1), LB_GETCURSEL, 0, 0);
    if (row < 0) {
        return std::nullopt;
    }
    return static_cast<int>(row);
}

bool Panel::Checked(common::PanelControl checkBox) const {
    return SendWithTimeout(Control(checkBox), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Panel::SetChecked(common::PanelControl checkBox, bool checked) const {
    SendWithTimeout(Control(checkBox), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Panel::Press(common::PanelControl control, MouseButton button, std::optional<int> row) const {
    PostMouse(control, button, true, row);
}

void Panel::Release(common::PanelControl control, MouseButton button, std::optional<int> row) const {
    PostMouse(control, button, false, row);
}

void Panel::PostMouse(common::PanelControl id, MouseButton button, bool down, std::optional<int> row) const {
    HWND control = Control(id);
    RECT client{};
    ::GetClientRect(control, &client);
    int x = (client.right - client.left) / 2;
    int y = (client.bottom - client.top) / 2;
    if (row) {
        const auto top = SendWithTimeout(control, LB_GETTOPINDEX, 0, 0);
        const auto height = SendWithTimeout(control, LB_GETITEMHEIGHT, 0, 0);
        y = static_cast<int>((*row - top) * height + height / 2);
    }
    UINT message = 0;
    WPARAM keys = 0;
    switch (button) {
        case MouseButton::Left:
            message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
            keys = down ? MK_LBUTTON : 0;
            break;
        case MouseButton::Right:
            message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
            keys = down ? MK_RBUTTON : 0;
            break;
        case MouseButton::Middle:
            message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
            keys = down ? MK_MBUTTON : 0;
            break;
    }
    PostOrThrow(control, message, keys, MAKELPARAM(x, y));
}

bool Panel::WaitIdle(DWORD timeoutMs, const std::function<std::uint64_t()>& hostActivity) const {
    // The mark is the text limit of the step field: the tool never reads or sets it, and the
    // edit control answers EM_GETLIMITTEXT with the last EM_SETLIMITTEXT it took from the queue.
    static WPARAM nextMark = 0x00100000;
    HWND field = Control(common::PanelControl::Text3);
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    std::optional<std::uint64_t> lastActivity;
    int settledRounds = 0;
    for (;;) {
        const WPARAM mark = ++nextMark;
        PostOrThrow(field, EM_SETLIMITTEXT, mark, 0);
        const ULONGLONG now = ::GetTickCount64();
        const DWORD left = now >= end ? 0 : static_cast<DWORD>(end - now);
        const bool back = WaitUntil(
            [&] {
                DWORD_PTR limit = 0;
                return ::SendMessageTimeoutW(field, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, 1000, &limit) != 0 &&
                       limit == mark;
            },
            left, 10);
        if (!back) {
            return false;
        }
        if (!hostActivity) {
            if (++settledRounds == 2) {
                return true;
            }
            continue;
        }
        const std::uint64_t activity = hostActivity();
        settledRounds = lastActivity && *lastActivity == activity ? settledRounds + 1 : 0;
        lastActivity = activity;
        if (settledRounds == 2) {
            return true;
        }
        ::Sleep(20);
    }
}

}  // namespace driver
