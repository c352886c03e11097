#include "hostsim/server/CallLogFile.h"

#include <vector>

#include "hostsim/model/ScriptApi.h"
#include "hostsim/server/ComResource.h"

namespace hostsim {

CallLogFile::CallLogFile(const std::wstring& path) {
    if (path.empty()) {
        return;
    }
    // FILE_APPEND_DATA alone makes every write land at the end, also when a test truncates or
    // another writer appends meanwhile; sharing lets readers open the file while it grows.
    file_ = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ThrowLastErrorIf(file_ == INVALID_HANDLE_VALUE, "CreateFileW (call log file)");
}

CallLogFile::~CallLogFile() {
    if (file_ != INVALID_HANDLE_VALUE) {
        CloseHandle(file_);
    }
}

void CallLogFile::Append(const CallLog& log) {
    if (file_ == INVALID_HANDLE_VALUE) {
        return;
    }
    if (log.Size() < written_) {
        written_ = 0;
    }
    std::string text;
    for (; written_ < log.Size(); ++written_) {
        text += log.Line(written_);
        text += '\n';
    }
    Write(text);
}

void CallLogFile::Note(const std::string& line) {
    if (file_ == INVALID_HANDLE_VALUE) {
        return;
    }
    Write(line + "\n");
}

void CallLogFile::Write(const std::string& text) {
    if (text.empty()) {
        return;
    }
    DWORD done = 0;
    // A short or failed write loses log lines only; the call itself must still answer. Once
    // written, the lines are the system's: readers see them, also after this process was
    // killed. They are not flushed to the disk: that waits for the disk's journal, 5 ms a
    // call and more while other files are being written, and would set the pace of every call.
    (void)WriteFile(file_, text.data(), static_cast<DWORD>(text.size()), &done, nullptr);
}

}  // namespace hostsim
