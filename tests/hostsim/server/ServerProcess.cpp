#include "ServerProcess.h"

#include "StartProcess.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <optional>

namespace hostsim::testing {

std::wstring ServerExePath() {
    const std::string built = HOSTSIM_EXE_PATH;
    std::wstring path(built.begin(), built.end());
    if (!path.empty() && path.front() == L'/') {
        // A path of the Linux build tree, reached through Wine's drive for the root folder.
        for (wchar_t& c : path) {
            if (c == L'/') {
                c = L'\\';
            }
        }
        path = L"Z:" + path;
    }
    return path;
}

std::wstring ScratchFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"hostsim-tests-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name;
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

bool WriteTextFile(const std::wstring& path, const std::string& text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size();
}

std::string ReadTextFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    CloseHandle(file);
    return text;
}

ServerProcess::ServerProcess(const std::wstring& exe, const std::wstring& arguments) {
    PROCESS_INFORMATION info{};
    if (!testing_support::StartProcess(exe, L"\"" + exe + L"\" " + arguments, L"", info)) {
        return;
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
}

ServerProcess::~ServerProcess() {
    Close();
    Kill();
    if (process_) {
        CloseHandle(process_);
    }
}

bool ServerProcess::WaitReady(std::chrono::milliseconds limit) {
    return process_ && WaitForInputIdle(process_, static_cast<DWORD>(limit.count())) == 0;
}

std::optional<DWORD> ServerProcess::WaitExit(std::chrono::milliseconds limit) {
    if (!process_ || WaitForSingleObject(process_, static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

namespace {

struct WindowCloseSearch {
    DWORD id;
    int posted;
};

// Posts WM_CLOSE to a top-level window of the searched process (an EnumWindows callback: a
// named function, since only it can have the callback's calling convention on 32-bit Windows).
BOOL CALLBACK PostCloseToWindowOf(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<WindowCloseSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == s->id) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        ++s->posted;
    }
    return TRUE;
}

}  // namespace

bool ServerProcess::Close() {
    if (!process_ || WaitForSingleObject(process_, 0) != WAIT_TIMEOUT) {
        return true;
    }
    WindowCloseSearch search{id_, 0};
    EnumWindows(&PostCloseToWindowOf, reinterpret_cast<LPARAM>(&search));
    return search.posted > 0 && WaitForSingleObject(process_, 15000) == WAIT_OBJECT_0;
}

void ServerProcess::Kill() {
    if (process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 10000);
    }
}

Watchdog::Watchdog(std::chrono::seconds limit, std::string what) {
    thread_ = std::thread([this, limit, what = std::move(what)] {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!done_.wait_for(lock, limit, [this] { return finished_; })) {
            std::fprintf(stderr, "watchdog: %s took longer than %lld s\n", what.c_str(),
                         static_cast<long long>(limit.count()));
            std::fflush(stderr);
            std::_Exit(3);
        }
    });
}

Watchdog::~Watchdog() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finished_ = true;
    }
    done_.notify_all();
    thread_.join();
}

}  // namespace hostsim::testing
