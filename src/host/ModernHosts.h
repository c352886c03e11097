#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// Rhino 5 and later all run as "Rhino.exe"; the version is read from the executable's version
// resource instead of its name.
constexpr std::string_view kModernHostFileName = "Rhino.exe";
constexpr int kOldestModernVersion = 5;

// A running process as the modern census sees it: its executable's path, the major product
// version of that executable's version resource (none when it has no version resource), its
// process id and whether it runs as a 64-bit program.
struct RunningExecutable {
    std::string path;
    std::optional<int> majorVersion;
    std::uint32_t processId = 0;
    bool is64Bit = true;
};

// Whether the file name of `path` (everything after its last backslash, the whole path when it
// has none) is "Rhino.exe", compared ignoring letter case.
bool IsModernHostExecutable(std::string_view path);

// How many processes of each modern version run: only Rhino.exe executables of version 5 and
// up count; one without a version resource, or of version 4 or lower, does not.
struct ModernCensus {
    std::map<int, int> processesByVersion;
    // The processes counted, in the order listed.
    std::vector<RunningExecutable> counted;

    // The newest running version, 0 when none runs.
    int Newest() const { return processesByVersion.empty() ? 0 : processesByVersion.rbegin()->first; }
    // Whether a counted process of `version` has the id `processId`.
    bool Counts(int version, std::uint32_t processId) const;
    // Whether a counted process of `version` runs as a 64-bit program.
    bool Runs64Bit(int version) const;
};
ModernCensus CountModernHosts(const std::vector<RunningExecutable>& running);

}  // namespace host
