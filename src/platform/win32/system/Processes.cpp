#include "platform/win32/system/Processes.h"

#include <algorithm>
#include <cstring>

#include "host/Census.h"
#include "platform/win32/base/UniqueHandle.h"
#include "platform/win32/base/WinInclude.h"

// After the Windows headers: both need their types.
#include <psapi.h>
#include <tlhelp32.h>

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
        return ::GetModuleFileNameExA(reinterpret_cast<HANDLE>(process), reinterpret_cast<HMODULE>(module), path,
                                      capacity);
    }

    void Close(Handle process) override {
        // Owned from here on so the close happens exactly once, by the one handle wrapper.
        UniqueProcessHandle owned(reinterpret_cast<HANDLE>(process));
    }
};

// The 8-bit-character snapshot record and walk. The headers map PROCESSENTRY32 and
// Process32First/Next to their wide forms in a UNICODE build and give the 8-bit ones no
// name of their own, so they are named here past the mapping.
using ProcessEntryA = tagPROCESSENTRY32;
#pragma push_macro("Process32First")
#pragma push_macro("Process32Next")
#undef Process32First
#undef Process32Next
BOOL Process32FirstA(HANDLE snapshot, ProcessEntryA* entry) {
    return ::Process32First(snapshot, entry);
}
BOOL Process32NextA(HANDLE snapshot, ProcessEntryA* entry) {
    return ::Process32Next(snapshot, entry);
}
#pragma pop_macro("Process32Next")
#pragma pop_macro("Process32First")

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
    // The record is told its own size: 296 bytes in a 32-bit program, 304 in a 64-bit
    // one, where th32DefaultHeapID is pointer-sized; the system refuses a smaller size.
    static_assert(sizeof(void*) != 4 || sizeof(ProcessEntryA) == 296);
    const UniqueSnapshotHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.IsValid()) {
        return 0;
    }
    host::HostTally tally;
    ProcessEntryA entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstA(snapshot.Get(), &entry); more; more = Process32NextA(snapshot.Get(), &entry)) {
        // The NT family gives the bare file name here, the 9x family the full path; the
        // last-ten-characters rule reads both alike.
        tally.Add(host::SnapshotEntryName(entry.szExeFile, sizeof entry.szExeFile));
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

}  // namespace win32
