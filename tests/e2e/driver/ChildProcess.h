#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/base/WinInclude.h"

namespace driver {

// The Windows form of a path: an absolute Unix path ("/work/x") becomes the path through
// Wine's drive Z: ("Z:\work\x"); any other path only has its "/" turned into "\".
std::wstring WindowsPath(std::string_view path);

// One program started by the driver. Owns the process handle; a process still running when
// the object goes is terminated, so a failed scenario never leaves a host or a tool behind.
// Move-only.
class ChildProcess {
  public:
    ChildProcess() = default;
    // Starts `program` with `arguments` (each quoted as needed) in `workingDir` (empty: the
    // driver's own). Throws win32::Win32Error when the program cannot be started.
    static ChildProcess Start(const std::wstring& program,
                              const std::vector<std::wstring>& arguments,
                              const std::wstring& workingDir = {});
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    bool Started() const { return process_ != nullptr; }
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_; }
    bool Running() const;
    // The exit code once the process has ended within `timeoutMs`; nothing while it runs on.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;
    // Ends the process (exit code 1) and waits up to 5 s for it to be gone.
    void Terminate();

  private:
    void Close() noexcept;

    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// Runs a program to its end and returns its exit code; nothing when it did not end within
// `timeoutMs` (it is then terminated).
std::optional<DWORD> RunToEnd(const std::wstring& program, const std::vector<std::wstring>& arguments, DWORD timeoutMs);

// Sleeps in small steps until `ready` answers true or `timeoutMs` passed; returns the last
// answer. Every wait of the driver is bounded through this one helper.
template <typename Ready>
bool WaitUntil(Ready&& ready, DWORD timeoutMs, DWORD pollMs = 20) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (ready()) {
            return true;
        }
        if (::GetTickCount64() >= end) {
            return false;
        }
        ::Sleep(pollMs);
    }
}

}  // namespace driver
