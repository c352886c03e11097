#include "platform/win32/system/ModernHosts.h"

#include <vector>

#include "platform/win32/base/SystemFunction.h"
#include "platform/win32/base/TextConversion.h"
#include "platform/win32/base/UniqueHandle.h"
#include "platform/win32/base/WinInclude.h"

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

using QueryFullProcessImageNameFunction = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);

// QueryFullProcessImageNameW of kernel32 (Windows Vista on), looked up at run time so that the
// 32-bit build still starts on Windows XP; null where the system lacks it.
QueryFullProcessImageNameFunction QueryFullProcessImageName() {
    static const auto function =
        LoadedSystemFunction<QueryFullProcessImageNameFunction>(L"kernel32.dll", "QueryFullProcessImageNameW");
    return function;
}

}  // namespace

std::optional<std::wstring> ProcessImagePath(std::uint32_t processId) {
    const QueryFullProcessImageNameFunction query = QueryFullProcessImageName();
    if (query == nullptr) {
        return ProcessImagePathByModule(processId);
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

std::optional<std::wstring> ProcessImagePathByModule(std::uint32_t processId) {
    const UniqueProcessHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process.IsValid()) {
        return std::nullopt;
    }
    std::wstring path(kLongestPath, L'\0');
    const DWORD length = ::GetModuleFileNameExW(process.Get(), nullptr, path.data(), static_cast<DWORD>(path.size()));
    // 0 is a failure; a full buffer may be a cut path (Windows XP does not terminate it).
    if (length == 0 || length >= path.size()) {
        return std::nullopt;
    }
    path.resize(length);
    return path;
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

std::vector<host::RunningExecutable> RunningModernHosts() {
    std::vector<host::RunningExecutable> running;
    const UniqueSnapshotHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.IsValid()) {
        return running;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry)) {
        // The snapshot names each executable, so only a Rhino.exe is opened for its path and
        // version; the census itself judges the full path.
        if (!host::IsModernHostExecutable(WideToUtf8(entry.szExeFile))) {
            continue;
        }
        const std::optional<std::wstring> path = ProcessImagePath(entry.th32ProcessID);
        if (path) {
            running.push_back({WideToUtf8(*path), ExecutableMajorVersion(*path)});
        }
    }
    return running;
}

}  // namespace win32
