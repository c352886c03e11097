#include "platform/win32/processes/HostProcesses.h"

#include <algorithm>
#include <cstring>

#include "host/Census.h"
#include "platform/win32/base/TextConversion.h"
#include "platform/win32/base/UniqueHandle.h"
#include "platform/win32/base/WinInclude.h"
#include "platform/win32/processes/RunningExecutables.h"

// After the Windows headers: it needs their types.
#include <psapi.h>

namespace win32 {

namespace {

constexpr DWORD kPlatformWindows9x = VER_PLATFORM_WIN32_WINDOWS;  // 1
constexpr DWORD kPlatformWindowsNt = VER_PLATFORM_WIN32_NT;       // 2

static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA is told its size as 148");
static_assert(sizeof(HMODULE) == sizeof(host::ProcessStatusApi::Handle));
static_assert(sizeof(HANDLE) == sizeof(host::ProcessStatusApi::Handle));

// The psapi calls of the census, handles passed through as opaque integers.
class PlatformProcessStatus final : public host::ProcessStatusApi {
  public:
    bool EnumIds(std::uint32_t* ids, std::uint32_t capacityBytes, std::uint32_t& returnedBytes) override {
        static_assert(sizeof(DWORD) == sizeof(std::uint32_t));
        DWORD returned = 0;
        if (!::EnumProcesses(reinterpret_cast<DWORD*>(ids), capacityBytes, &returned)) {
            return false;
        }
        returnedBytes = returned;
        return true;
    }

    Handle Open(std::uint32_t access, std::uint32_t processId) override {
        return reinterpret_cast<Handle>(::OpenProcess(access, FALSE, processId));
    }

    bool EnumModules(Handle process, Handle* modules, std::uint32_t sizeBytes, std::uint32_t& neededBytes) override {
        DWORD needed = 0;
        const BOOL listed = ::EnumProcessModules(reinterpret_cast<HANDLE>(process), reinterpret_cast<HMODULE*>(modules),
                                                 sizeBytes, &needed);
        neededBytes = needed;
        return listed != FALSE;
    }

    std::uint32_t ModulePath(Handle process, Handle module, char* path, std::uint32_t capacity) override {
        const std::optional<std::wstring> wide =
            ModuleFileName(reinterpret_cast<HANDLE>(process), reinterpret_cast<HMODULE>(module));
        if (!wide) {
            return 0;
        }
        // As much of the path as fits, like the 8-bit call: a cut path never ends in a host's name.
        const std::string text = WideToUtf8(*wide);
        const std::size_t length = std::min<std::size_t>(text.size(), capacity);
        std::memcpy(path, text.data(), length);
        return static_cast<std::uint32_t>(length);
    }

    void Close(Handle process) override {
        // Owned from here on so the close happens exactly once, by the one handle wrapper.
        UniqueProcessHandle owned(reinterpret_cast<HANDLE>(process));
    }
};

}  // namespace

std::uint32_t GetPlatformId() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    std::memset(version.szCSDVersion, ' ', sizeof version.szCSDVersion);
    // GetVersionExA is deprecated because its version numbers are adjusted for the
    // application's manifest; the platform id, the only field read, is not.
#if defined(_MSC_VER)
#pragma warning(push)
#pragma warning(disable : 4996)
#elif defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    if (!::GetVersionExA(&version)) {
        return 0;
    }
#if defined(_MSC_VER)
#pragma warning(pop)
#elif defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    return version.dwPlatformId;
}

std::int32_t CountHostProcessesByProcessStatus() {
    PlatformProcessStatus api;
    return host::CountByProcessStatus(api);
}

std::int32_t CountHostProcessesBySnapshot() {
    host::HostTally tally;
    for (const SnapshotProcess& process : SnapshotProcesses()) {
        // The NT family gives the bare file name here, the 9x family the full path; the
        // last-ten-characters rule reads both alike.
        tally.Add(process.executable);
    }
    return tally.Value();
}

std::int32_t CountHostProcesses() {
    switch (GetPlatformId()) {
        case kPlatformWindowsNt:
            return CountHostProcessesByProcessStatus();
        case kPlatformWindows9x:
            return CountHostProcessesBySnapshot();
        default:
            return 0;
    }
}

std::vector<host::RunningExecutable> RunningModernHosts() {
    std::vector<host::RunningExecutable> running;
    for (const SnapshotProcess& process : SnapshotProcesses()) {
        // The snapshot names each executable, so only a Rhino.exe is opened for its path and
        // version; the census itself judges the full path.
        if (!host::IsModernHostExecutable(process.executable)) {
            continue;
        }
        const std::optional<std::wstring> path = ExecutablePath(process.processId);
        if (path) {
            running.push_back({WideToUtf8(*path), ExecutableMajorVersion(*path), process.processId,
                               Is64BitProcess(process.processId)});
        }
    }
    return running;
}

}  // namespace win32
