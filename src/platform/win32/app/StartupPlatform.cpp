#include "platform/win32/app/StartupPlatform.h"

#include <cstdint>
#include <string>

#include "platform/win32/base/TextConversion.h"
#include "platform/win32/com/ProgIdClass.h"
#include "platform/win32/processes/HostProcesses.h"
#include "platform/win32/windows/Form2.h"
#include "platform/win32/windows/MessageLoop.h"
#include "platform/win32/windows/MyInfoBox.h"
#include "platform/win32/windows/PlaceForm.h"
#include "platform/win32/windows/SystemMessageBox.h"

namespace win32 {

StartupPlatform::StartupPlatform(HWND panel, host::ObjectCreator& creator) : panel_(panel), creator_(creator) {}

bool StartupPlatform::PreviousInstance() {
    ::SetLastError(ERROR_SUCCESS);
    instanceMarker_.Reset(::CreateMutexW(nullptr, FALSE, kInstanceMutexName));
    // Read at once: the marker exists when another instance created it first. When the
    // marker cannot be created at all (access denied to an object of that name made by
    // another user), an instance of the tool holds it, too.
    const DWORD error = ::GetLastError();
    return error == ERROR_ALREADY_EXISTS || (!instanceMarker_.IsValid() && error == ERROR_ACCESS_DENIED);
}

std::int32_t StartupPlatform::FindPanelWindow(std::string_view className, std::string_view title) {
    const std::string classText(className);
    const std::string titleText(title);
    const HWND found = ::FindWindowA(classText.c_str(), titleText.c_str());
    // The low 32 bits are the whole handle: window handles are shared between 32- and
    // 64-bit processes.
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(found));
}

void StartupPlatform::SetPanelTitle(std::string_view title) {
    (void)::SetWindowTextW(panel_, Utf8ToWide(title).c_str());  // only fails for a destroyed window
}

std::int32_t StartupPlatform::CountHostProcesses() {
    return win32::CountHostProcesses();
}

std::vector<host::RunningExecutable> StartupPlatform::RunningModernHosts() {
    return win32::RunningModernHosts();
}

void StartupPlatform::ShowNoHostMessage(std::string_view text) {
    ShowInfoBox(nullptr, std::string(text));
}

std::int16_t StartupPlatform::ShowChooser() {
    return win32::ShowChooser(panel_);
}

std::unique_ptr<host::Dispatcher> StartupPlatform::CreateObject(std::string_view progId) {
    return creator_.CreateObject(std::string(progId));
}

bool StartupPlatform::IsRegistered(std::string_view progId) {
    return LookUpProgId(progId).IsRegistered();
}

void StartupPlatform::Sleep(std::uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

void StartupPlatform::LetPendingMessagesRun() {
    win32::LetPendingMessagesRun();
}

void StartupPlatform::ShowMessageBox(std::string_view text) {
    // The panel is still hidden: brought forward since nothing of the tool is on screen yet.
    // The empty caption keeps the system's "Error" title off a box that has no title of its own.
    ShowSystemMessageBox(Utf8ToWide(text).c_str(), L"", MB_SETFOREGROUND);
}

namespace {

// The host's 32-bit handle is sign-extended, as Windows does when a handle crosses between 32-
// and 64-bit code.
HWND HostWindowHandle(std::int32_t hostWindow) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(hostWindow));
}

}  // namespace

std::uint32_t StartupPlatform::WindowProcessId(std::int32_t window) {
    DWORD processId = 0;
    // 0 with no process for a handle that names no window.
    (void)::GetWindowThreadProcessId(HostWindowHandle(window), &processId);
    return processId;
}

void StartupPlatform::PlacePanelTopmost() {
    PlaceForm(panel_, true, false);
}

void StartupPlatform::Dock(std::int32_t hostWindow) {
    const HWND host = HostWindowHandle(hostWindow);
    (void)::SetParent(panel_, host);  // not examined: an undocked panel still works
    if (host != nullptr) {
        (void)::SetForegroundWindow(host);  // may be refused by the foreground lock
    }
}

}  // namespace win32
