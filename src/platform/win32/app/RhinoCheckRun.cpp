#include "platform/win32/app/RhinoCheckRun.h"

#include "host/BusyPolicy.h"
#include "platform/win32/app/BusyWait.h"
#include "platform/win32/app/StartupPlatform.h"
#include "platform/win32/base/TextConversion.h"
#include "platform/win32/base/UniqueHandle.h"
#include "platform/win32/base/Win32Error.h"
#include "platform/win32/com/ComDispatcher.h"
#include "platform/win32/com/MessageFilter.h"
#include "platform/win32/windows/SystemMessageBox.h"
#include "ui/RhinoCheck.h"

namespace win32 {

namespace {

constexpr wchar_t kCaption[] = L"Curtate: check of the running Rhino";

// Writes `text` into a new file at `path` (replacing one there); false when that fails.
bool WriteWholeFile(const std::wstring& path, const std::string& text) {
    const UniqueSnapshotHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) {
        return false;
    }
    DWORD written = 0;
    return ::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

}  // namespace

std::wstring DefaultCheckReportPath() {
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
    // Without a temporary folder the report goes to the current folder.
    return (length == 0 || length > MAX_PATH ? std::wstring() : std::wstring(folder, length)) + L"curtate-check.txt";
}

int RunRhinoCheck(const std::string& reportPathUtf8, RunLog& log, std::uint32_t busyPatienceMs) {
    // The same rule for a busy Rhino as the panel's, in COM's filter and in the call layer; no
    // panel owns the question.
    BusyWait busyWait(nullptr);
    host::BusyPolicy busyPolicy(log.Observe(busyWait), busyPatienceMs);
    const MessageFilter messageFilter(busyPolicy);
    ComObjectCreator creator;
    // No panel: the chooser, when both Rhino 3 and Rhino 4 run, has no owner.
    StartupPlatform platform(nullptr, creator);
    const ui::RhinoCheckReport report = ui::CheckRhino(log.Observe(platform), busyPolicy);
    const std::wstring path = reportPathUtf8.empty() ? DefaultCheckReportPath() : Utf8ToWide(reportPathUtf8);
    std::string text = report.Text();
    std::string::size_type at = 0;
    // The report in Windows' line ends, for Notepad.
    while ((at = text.find('\n', at)) != std::string::npos) {
        text.insert(at, 1, '\r');
        at += 2;
    }
    const bool written = WriteWholeFile(path, text);
    const std::wstring message =
        Utf8ToWide(report.Summary()) +
        (written ? L"\n\nThe report: " + path : L"\n\nThe report could not be written to " + path);
    ShowSystemMessageBox(message.c_str(), kCaption, report.ExitCode() == 0 ? MB_ICONINFORMATION : MB_ICONWARNING);
    return written ? report.ExitCode() : 3;
}

}  // namespace win32
