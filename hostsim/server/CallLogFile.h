#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "hostsim/server/WinInclude.h"

namespace hostsim {

class CallLog;

// Appends the simulated host's calls to a file as they happen, one line per call in the call
// log's form ("AddLine(Array[0:3]{...}, ...)"). Every line is written through to the file at
// once, so a reader sees it even after the server was killed. A default-made value (no file)
// does nothing.
class CallLogFile {
  public:
    CallLogFile() = default;
    // Opens (creating if needed) `path` for appending; throws ComError when it cannot. An empty
    // path gives a log that writes nothing.
    explicit CallLogFile(const std::wstring& path);
    ~CallLogFile();
    CallLogFile(const CallLogFile&) = delete;
    CallLogFile& operator=(const CallLogFile&) = delete;

    // Writes the records of `log` added since the last call (all of them after the log was
    // cleared).
    void Append(const CallLog& log);
    // Writes one line as it is.
    void Note(const std::string& line);

  private:
    void Write(const std::string& text);

    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::size_t written_ = 0;
};

}  // namespace hostsim
