#include "platform/win32/processes/RunningExecutables.h"

#include <vector>

#include "host/Census.h"
#include "platform/win32/base/SystemFunction.h"
#include "platform/win32/base/UniqueHandle.h"

// After the Windows headers: they need their types.
#include <psapi.h>
#include <tlhelp32.h>
#include <winver.h>

namespace win32 {

namespace {

// PROCESS_QUERY_LIMITED_INFORMATION, Windows Vista on; the headers of the 32-bit build, held to
// Windows XP, do not name it.
constexpr DWORD kQueryLimitedInformation = 0x1000;
constexpr DWORD kLongestPath = 32768;  // the longest path the system gives

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

std::vector<SnapshotProcess> SnapshotProcesses() {
    // The record is told its own size: 296 bytes in a 32-bit program, 304 in a 64-bit
    // one, where th32DefaultHeapID is pointer-sized; the system refuses a smaller size.
    static_assert(sizeof(void*) != 4 || sizeof(ProcessEntryA) == 296);
    std::vector<SnapshotProcess> processes;
    const UniqueSnapshotHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.IsValid()) {
        return processes;
    }
    ProcessEntryA entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstA(snapshot.Get(), &entry); more; more = Process32NextA(snapshot.Get(), &entry)) {
        processes.push_back({entry.th32ProcessID, host::SnapshotEntryName(entry.szExeFile, sizeof entry.szExeFile)});
    }
    return processes;
}

std::optional<std::wstring> ModuleFileName(HANDLE process, HMODULE module) {
    std::wstring path(kLongestPath, L'\0');
    const DWORD length = ::GetModuleFileNameExW(process, module, path.data(), static_cast<DWORD>(path.size()));
    // 0 is a failure; a full buffer may be a cut path (Windows XP does not terminate it).
    if (length == 0 || length >= path.size()) {
        return std::nullopt;
    }
    path.resize(length);
    return path;
}

QueryFullProcessImageNameFunction SystemQueryFullProcessImageName() {
    static const auto function =
        LoadedSystemFunction<QueryFullProcessImageNameFunction>(L"kernel32.dll", "QueryFullProcessImageNameW");
    return function;
}

std::optional<std::wstring> ExecutablePath(std::uint32_t processId, QueryFullProcessImageNameFunction query) {
    if (query == nullptr) {
        const UniqueProcessHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
        return process.IsValid() ? ModuleFileName(process.Get(), nullptr) : std::nullopt;
    }
    // Limited query access is enough, so processes of another integrity level or bitness are
    // read as well.
    const UniqueProcessHandle process(::OpenProcess(kQueryLimitedInformation, FALSE, processId));
    if (!process.IsValid()) {
        return std::nullopt;
    }
    std::wstring path(kLongestPath, L'\0');
    DWORD length = static_cast<DWORD>(path.size());
    if (!query(process.Get(), 0, path.data(), &length)) {
        return std::nullopt;
    }
    path.resize(length);
    return path;
}

namespace {

// Whether `process` runs under WOW64, a 32-bit program on 64-bit Windows; nothing when it
// cannot be told.
std::optional<bool> RunsUnderWow64(HANDLE process) {
    BOOL wow64 = FALSE;
    if (!::IsWow64Process(process, &wow64)) {
        return std::nullopt;
    }
    return wow64 != FALSE;
}

bool WindowsIs64Bit() {
    // A 32-bit program is on 64-bit Windows exactly when it runs under WOW64 itself.
    static const bool is64Bit = sizeof(void*) == 8 || RunsUnderWow64(::GetCurrentProcess()).value_or(false);
    return is64Bit;
}

}  // namespace

bool Is64BitProcess(std::uint32_t processId) {
    if (!WindowsIs64Bit()) {
        return false;
    }
    // Limited query access where the system knows it (Vista on), else full query access.
    UniqueProcessHandle process(::OpenProcess(kQueryLimitedInformation, FALSE, processId));
    if (!process.IsValid()) {
        process.Reset(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
    }
    const std::optional<bool> wow64 = process.IsValid() ? RunsUnderWow64(process.Get()) : std::nullopt;
    return !wow64.value_or(false);
}

std::optional<int> ExecutableMajorVersion(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) {
        return std::nullopt;
    }
    std::vector<unsigned char> data(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, data.data())) {
        return std::nullopt;
    }
    void* fixed = nullptr;
    UINT fixedBytes = 0;
    if (!::VerQueryValueW(data.data(), L"\\", &fixed, &fixedBytes) || fixed == nullptr ||
        fixedBytes < sizeof(VS_FIXEDFILEINFO)) {
        return std::nullopt;
    }
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    if (info->dwSignature != VS_FFI_SIGNATURE) {
        return std::nullopt;
    }
    return static_cast<int>(HIWORD(info->dwProductVersionMS));
}

}  // namespace win32
