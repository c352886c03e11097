#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "host/Dispatcher.h"
#include "host/Startup.h"
#include "platform/win32/base/UniqueHandle.h"
#include "platform/win32/base/WinInclude.h"

namespace win32 {

// The name of the kernel object by which a running instance makes itself known, in the
// session's own namespace.
inline constexpr wchar_t kInstanceMutexName[] = L"Local\\CurtateCycloidPanel";

// Start-up's platform on Windows, for the panel `panel` (Form1's window, not owned).
// Keep it alive for the whole run: it holds the instance marker that later instances
// look for.
class StartupPlatform final : public host::StartupPlatform {
  public:
    // `creator` makes the host's application objects; not owned.
    StartupPlatform(HWND panel, host::ObjectCreator& creator);

    // Creates the named instance marker; true when it already existed. Unlike the window
    // search this also finds a first instance whose panel is docked inside the host (a
    // child window is not found by FindWindowA).
    bool PreviousInstance() override;
    std::int32_t FindPanelWindow(std::string_view className, std::string_view title) override;
    void SetPanelTitle(std::string_view title) override;
    std::int32_t CountHostProcesses() override;
    std::vector<host::RunningExecutable> RunningModernHosts() override;
    // The information box, without an owner.
    void ShowNoHostMessage(std::string_view text) override;
    // The chooser owned by the panel.
    std::int16_t ShowChooser() override;
    std::unique_ptr<host::Dispatcher> CreateObject(std::string_view progId) override;
    // CLSIDFromProgID finds the ProgID's class.
    bool IsRegistered(std::string_view progId) override;
    void Sleep(std::uint32_t milliseconds) override;
    void LetPendingMessagesRun() override;
    // MessageBoxA with an empty caption, an OK button and no icon, modal for the whole
    // program while the panel is not yet shown.
    void ShowMessageBox(std::string_view text) override;
    // GetWindowThreadProcessId of the sign-extended handle.
    std::uint32_t WindowProcessId(std::int32_t window) override;
    void PlacePanelTopmost() override;
    // SetParent(panel, hostWindow), then SetForegroundWindow(hostWindow) unless it is 0.
    // Results are not examined.
    void Dock(std::int32_t hostWindow) override;

  private:
    HWND panel_;
    host::ObjectCreator& creator_;
    UniqueKernelHandle instanceMarker_;  // the named mutex
};

}  // namespace win32
