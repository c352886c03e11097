#include "ChildProcess.h"

#include "StartProcess.h"

#include <utility>

#include "platform/win32/base/TextConversion.h"
#include "platform/win32/base/Win32Error.h"

namespace driver {

namespace {

// Quotes one argument by the rules CommandLineToArgvW reads back: backslashes are literal
// except before a quote, where they are doubled.
std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            out.append(backslashes * 2 + 1, L'\\');
        } else {
            out.append(backslashes, L'\\');
        }
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    out += L'"';
    return out;
}

// A job that ends every process started by the driver when the driver itself ends, also by a
// crash, so no host or tool outlives a test run.
HANDLE KillOnCloseJob() {
    static HANDLE job = [] {
        HANDLE created = ::CreateJobObjectW(nullptr, nullptr);
        if (created != nullptr) {
            JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
            limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
            (void)::SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
        }
        return created;
    }();
    return job;
}

}  // namespace

std::wstring WindowsPath(std::string_view path) {
    std::wstring out = win32::Utf8ToWide(path);
    for (wchar_t& c : out) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    if (!path.empty() && path.front() == '/') {
        out.insert(0, L"Z:");
    }
    return out;
}

ChildProcess ChildProcess::Start(const std::wstring& program,
                                 const std::vector<std::wstring>& arguments,
                                 const std::wstring& workingDir) {
    std::wstring commandLine = Quoted(program);
    for (const std::wstring& argument : arguments) {
        commandLine += L' ';
        commandLine += Quoted(argument);
    }
    PROCESS_INFORMATION info{};
    win32::ThrowLastErrorIf(!testing_support::StartProcess(program, commandLine, workingDir, info), "CreateProcessW");
    if (HANDLE job = KillOnCloseJob()) {
        // Without the job the process still runs; it is then ended only by its ChildProcess.
        (void)::AssignProcessToJobObject(job, info.hProcess);
    }
    ::CloseHandle(info.hThread);
    ChildProcess child;
    child.process_ = info.hProcess;
    child.id_ = info.dwProcessId;
    return child;
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)), id_(std::exchange(other.id_, 0)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        Terminate();
        Close();
        process_ = std::exchange(other.process_, nullptr);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

ChildProcess::~ChildProcess() {
    Terminate();
    Close();
}

bool ChildProcess::Running() const {
    return process_ != nullptr && ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> ChildProcess::WaitForExit(DWORD timeoutMs) const {
    if (process_ == nullptr || ::WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    if (!::GetExitCodeProcess(process_, &code)) {
        return std::nullopt;
    }
    return code;
}

void ChildProcess::Terminate() {
    if (!Running()) {
        return;
    }
    // Failure means the process ended on its own in the meantime.
    (void)::TerminateProcess(process_, 1);
    (void)::WaitForSingleObject(process_, 5000);
}

void ChildProcess::Close() noexcept {
    if (process_ != nullptr) {
        ::CloseHandle(process_);
        process_ = nullptr;
        id_ = 0;
    }
}

std::optional<DWORD> RunToEnd(const std::wstring& program,
                              const std::vector<std::wstring>& arguments,
                              DWORD timeoutMs) {
    ChildProcess child = ChildProcess::Start(program, arguments);
    return child.WaitForExit(timeoutMs);
}

}  // namespace driver
