#include "host/ModernHosts.h"

#include <algorithm>
#include <cctype>

namespace host {

namespace {

char FoldAscii(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

}  // namespace

bool IsModernHostExecutable(std::string_view path) {
    const std::size_t backslash = path.rfind('\\');
    const std::string_view fileName = backslash == std::string_view::npos ? path : path.substr(backslash + 1);
    return std::equal(fileName.begin(), fileName.end(), kModernHostFileName.begin(), kModernHostFileName.end(),
                      [](char a, char b) { return FoldAscii(a) == FoldAscii(b); });
}

ModernCensus CountModernHosts(const std::vector<RunningExecutable>& running) {
    ModernCensus census;
    for (const RunningExecutable& process : running) {
        if (IsModernHostExecutable(process.path) && process.majorVersion.value_or(0) >= kOldestModernVersion) {
            ++census.processesByVersion[*process.majorVersion];
            census.counted.push_back(process);
        }
    }
    return census;
}

bool ModernCensus::Counts(int version, std::uint32_t processId) const {
    return std::any_of(counted.begin(), counted.end(), [&](const RunningExecutable& process) {
        return process.majorVersion == version && process.processId == processId;
    });
}

bool ModernCensus::Runs64Bit(int version) const {
    return std::any_of(counted.begin(), counted.end(), [&](const RunningExecutable& process) {
        return process.majorVersion == version && process.is64Bit;
    });
}

}  // namespace host
