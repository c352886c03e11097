#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "host/BusyPolicy.h"
#include "host/EventLog.h"
#include "host/LoggingBusyWait.h"
#include "host/LoggingStartupPlatform.h"
#include "host/Startup.h"
#include "platform/win32/base/UniqueHandle.h"

namespace win32 {

// The log the command line asked for (--log FILE), or none. With a log, the platforms of
// start-up and of the busy rule are observed through the logging decorators, and every call to
// the host through the objects start-up creates; without one they are used as they are and
// nothing is written.
class RunLog {
  public:
    // Opens `pathUtf8` for appending (created when missing, shared for reading); an empty path
    // is no log. Throws Win32Error when the file cannot be opened.
    explicit RunLog(const std::string& pathUtf8);
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;

    // The log; null without one.
    host::EventLog* Log() { return log_ ? &*log_ : nullptr; }
    // `platform` itself without a log, else a logging decorator of it held here; call once.
    host::StartupPlatform& Observe(host::StartupPlatform& platform);
    host::BusyWaitPlatform& Observe(host::BusyWaitPlatform& platform);

  private:
    // Appends each line and a CR LF with one WriteFile, so the line is in the file (the
    // system's cache) before the call returns and a crash of the tool keeps it.
    class FileSink final : public host::LogSink {
      public:
        explicit FileSink(HANDLE file) : file_(file) {}
        void WriteLine(std::string_view line) override;

      private:
        HANDLE file_;
    };

    UniqueSnapshotHandle file_;  // INVALID_HANDLE_VALUE is CreateFileW's "none"
    std::optional<FileSink> sink_;
    std::optional<host::EventLog> log_;
    std::optional<host::LoggingStartupPlatform> startup_;
    std::optional<host::LoggingBusyWait> busyWait_;
};

}  // namespace win32
