#include "platform/win32/app/RunLog.h"

#include "platform/win32/base/MonotonicClock.h"
#include "platform/win32/base/TextConversion.h"
#include "platform/win32/base/Win32Error.h"

namespace win32 {

RunLog::RunLog(const std::string& pathUtf8) {
    if (pathUtf8.empty()) {
        return;
    }
    file_.Reset(::CreateFileW(Utf8ToWide(pathUtf8).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ThrowLastErrorIf(!file_.IsValid(), "CreateFileW");
    sink_.emplace(file_.Get());
    log_.emplace(*sink_, &MonotonicMilliseconds);
}

void RunLog::FileSink::WriteLine(std::string_view line) {
    std::string text(line);
    text += "\r\n";
    DWORD written = 0;
    // A line that cannot be written is lost: the log never changes what the tool does.
    (void)::WriteFile(file_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

host::StartupPlatform& RunLog::Observe(host::StartupPlatform& platform) {
    if (!log_) {
        return platform;
    }
    return startup_.emplace(platform, *log_);
}

host::BusyWaitPlatform& RunLog::Observe(host::BusyWaitPlatform& platform) {
    if (!log_) {
        return platform;
    }
    return busyWait_.emplace(platform, *log_);
}

}  // namespace win32
