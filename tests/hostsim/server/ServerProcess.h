#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "hostsim/server/WinInclude.h"

namespace hostsim::testing {

// Path of the hostsim.exe this build made, as Windows sees it.
std::wstring ServerExePath();
// A fresh, empty folder under the temporary folder, unique to this process and name.
std::wstring ScratchFolder(const std::wstring& name);
// Writes UTF-8 text to a file, replacing it; returns false when it cannot.
bool WriteTextFile(const std::wstring& path, const std::string& text);
// The whole file as bytes (empty when it cannot be read); the file may still be open elsewhere.
std::string ReadTextFile(const std::wstring& path);

// A process started by a test and ended by it: the destructor terminates it when it still runs.
class ServerProcess {
  public:
    // Starts `exe` with the command line tail `arguments`; check Started().
    ServerProcess(const std::wstring& exe, const std::wstring& arguments);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    bool Started() const { return process_ != nullptr; }
    DWORD Id() const { return id_; }
    // True once the process waits for input (its class objects are then registered).
    bool WaitReady(std::chrono::milliseconds limit);
    // The exit code, or nothing when it still runs after `limit`.
    std::optional<DWORD> WaitExit(std::chrono::milliseconds limit);
    // Asks the process to end by closing its top-level windows, as a user would; true once it
    // has ended. The destructor does this before it terminates the process, because a killed
    // server leaves its class registration behind under Wine and later creations then fail.
    bool Close();
    void Kill();

  private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// Ends the test program when a step takes longer than its limit, so a hung COM call fails the
// run instead of stalling it.
class Watchdog {
  public:
    Watchdog(std::chrono::seconds limit, std::string what);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

  private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

}  // namespace hostsim::testing
