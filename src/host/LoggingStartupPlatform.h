#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "host/EventLog.h"
#include "host/Startup.h"

namespace host {

// A StartupPlatform that writes start-up's decisions to `log` (the processes counted with
// version and bitness, the chooser's answer, each ProgID looked up and created, the host
// window and its process, docked or not, every message shown) and passes every call on to
// `inner` unchanged. The objects it creates are LoggingDispatchers, so every call on them and
// on the objects they hand out is logged too. Both must outlive it.
class LoggingStartupPlatform final : public StartupPlatform {
  public:
    LoggingStartupPlatform(StartupPlatform& inner, EventLog& log) : inner_(inner), log_(log) {}

    bool PreviousInstance() override;
    std::int32_t FindPanelWindow(std::string_view className, std::string_view title) override;
    void SetPanelTitle(std::string_view title) override { inner_.SetPanelTitle(title); }
    std::int32_t CountHostProcesses() override;
    std::vector<RunningExecutable> RunningModernHosts() override;
    void ShowNoHostMessage(std::string_view text) override;
    std::int16_t ShowChooser() override;
    std::unique_ptr<Dispatcher> CreateObject(std::string_view progId) override;
    bool IsRegistered(std::string_view progId) override;
    void Sleep(std::uint32_t milliseconds) override { inner_.Sleep(milliseconds); }
    void LetPendingMessagesRun() override { inner_.LetPendingMessagesRun(); }
    void ShowMessageBox(std::string_view text) override;
    std::uint32_t WindowProcessId(std::int32_t window) override;
    void PlacePanelTopmost() override { inner_.PlacePanelTopmost(); }
    void Dock(std::int32_t hostWindow) override;

  private:
    StartupPlatform& inner_;
    EventLog& log_;
};

}  // namespace host
