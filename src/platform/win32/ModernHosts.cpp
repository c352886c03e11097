#include "platform/win32/ModernHosts.h"

#include <vector>

#include "platform/win32/TextConversion.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WinInclude.h"

// After the Windows headers: both need their types.
#include <tlhelp32.h>
#include <winver.h>

namespace win32 {

namespace {

// The full path of a process's executable, or nothing when the process cannot be opened or
// its path read. Limited query access is enough, so processes of another integrity level or
// bitness are read as well.
std::optional<std::wstring> ProcessImagePath(DWORD processId) {
    const UniqueProcessHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process.IsValid()) {
        return std::nullopt;
    }
    std::wstring path(32768, L'\0');  // the longest path the system gives
    DWORD length = static_cast<DWORD>(path.size());
    if (!::QueryFullProcessImageNameW(process.Get(), 0, path.data(), &length)) {
        return std::nullopt;
    }
    path.resize(length);
    return path;
}

}  // namespace

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
