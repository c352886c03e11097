// setup_driver.exe: runs the installer or the uninstaller with files of its folder held open by
// this process, as another program (a virus scanner, an editor) would hold them, and answers
// its windows as a user who always agrees would. Prints one line per window answered (the
// title, and for a message box its text) and ends with the program's exit code.
//
//   setup_driver.exe [--hold PATH]... [--linger PATH]... PROGRAM [ARGUMENT]...
//
// --hold PATH    PATH (created empty when missing) open for reading, shared for reading and
//                writing but not for deleting: it can be written, but neither renamed nor
//                deleted while the program runs.
// --linger PATH  PATH (created empty when missing) open for reading, shared for reading, writing
//                and deleting: it can be renamed and deleted, but a deleted PATH keeps its name
//                until the program has ended (Windows' delete-pending state, which Wine keeps).
//
// Exit code: the program's; 255 when it could not be started or did not end within 2 minutes.
#include <cstddef>
#include <cstdio>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "ChildProcess.h"
#include "ToolWindows.h"
#include "platform/win32/base/TextConversion.h"
#include "platform/win32/base/UniqueHandle.h"

// After WinInclude.h (through ToolWindows.h), which lean Windows headers leave it out of.
#include <shellapi.h>

namespace {

using namespace driver;

constexpr DWORD kRunMs = 120000;
constexpr DWORD kFailedExitCode = 255;

void Say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

win32::UniqueSnapshotHandle OpenShared(const std::wstring& path, DWORD share) {
    win32::UniqueSnapshotHandle file(
        ::CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) {
        throw std::runtime_error("cannot open " + win32::WideToUtf8(path));
    }
    return file;
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM texts) {
    if (ClassOf(child) == L"Static") {
        const std::string text = WindowText(child);
        if (!text.empty()) {
            reinterpret_cast<std::vector<std::string>*>(texts)->push_back(text);
        }
    }
    return TRUE;
}

// The words of a message box: its static texts on one line.
std::string MessageOf(HWND box) {
    std::vector<std::string> texts;
    // The callback never stops the walk, so the result says nothing.
    (void)::EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&texts));
    std::string message;
    for (const std::string& text : texts) {
        for (const char c : text) {
            message += (c == '\r' || c == '\n') ? ' ' : c;
        }
    }
    return message;
}

// The button a user who agrees would press: OK (a message box's, or a wizard page's Next /
// Install / Close), or Cancel where only Cancel takes input (the wizard's page after a failure,
// which it closes); null while neither does (a page that works).
HWND AgreeingButton(HWND dialog) {
    for (const int id : {IDOK, IDCANCEL}) {
        HWND button = ::GetDlgItem(dialog, id);
        if (button != nullptr && ::IsWindowVisible(button) && ::IsWindowEnabled(button)) {
            return button;
        }
    }
    return nullptr;
}

// Answers each dialog of the process that takes input, once per window and title (the pages
// of one wizard differ in their titles; a page whose buttons are disabled while it works is
// answered once they are enabled). A message box is owned by the wizard's window and printed
// with its text; the wizard's own window is not owned and printed by its title.
void AnswerDialogs(DWORD processId, std::set<std::pair<HWND, std::string>>& answered) {
    for (HWND window : TopLevelWindowsOf(processId)) {
        if (ClassOf(window) != L"#32770" || !::IsWindowEnabled(window)) {
            continue;
        }
        HWND button = AgreeingButton(window);
        if (button == nullptr) {
            continue;
        }
        const std::string title = WindowText(window);
        if (!answered.insert({window, title}).second) {
            continue;
        }
        const bool messageBox = ::GetWindow(window, GW_OWNER) != nullptr;
        Say(messageBox ? title + ": " + MessageOf(window) : title);
        const int id = ::GetDlgCtrlID(button);
        // A window that has gone meanwhile needs no answer.
        (void)::PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    }
}

// The program's own arguments, without its name.
std::vector<std::wstring> Arguments() {
    int count = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (argv == nullptr) {
        throw std::runtime_error("cannot read the command line");
    }
    std::vector<std::wstring> arguments(argv + 1, argv + count);
    (void)::LocalFree(argv);  // nothing to do if it fails
    return arguments;
}

DWORD Run(const std::vector<std::wstring>& arguments) {
    std::vector<win32::UniqueSnapshotHandle> held;
    std::size_t next = 0;
    for (; next + 1 < arguments.size(); next += 2) {
        if (arguments[next] == L"--hold") {
            held.push_back(OpenShared(arguments[next + 1], FILE_SHARE_READ | FILE_SHARE_WRITE));
        } else if (arguments[next] == L"--linger") {
            held.push_back(OpenShared(arguments[next + 1], FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE));
        } else {
            break;
        }
    }
    if (next >= arguments.size()) {
        throw std::runtime_error("no program to run");
    }
    ChildProcess program = ChildProcess::Start(
        arguments[next], {arguments.begin() + static_cast<std::ptrdiff_t>(next) + 1, arguments.end()});
    std::set<std::pair<HWND, std::string>> answered;
    std::optional<DWORD> exitCode;
    WaitUntil(
        [&] {
            exitCode = program.WaitForExit(0);
            if (!exitCode) {
                AnswerDialogs(program.Id(), answered);
            }
            return exitCode.has_value();
        },
        kRunMs, 100);
    if (!exitCode) {
        throw std::runtime_error("the program did not end in time");
    }
    return *exitCode;
}

}  // namespace

int main() {
    try {
        return static_cast<int>(Run(Arguments()));
    } catch (const std::exception& e) {
        Say(std::string("setup_driver: ") + e.what());
        return static_cast<int>(kFailedExitCode);
    }
}
