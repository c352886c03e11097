#include "host/ModernHosts.h"

#include <algorithm>

#include "common/AsciiCase.h"

namespace host {

bool IsModernHostExecutable(std::string_view path) {
    const std::size_t backslash = path.rfind('\\');
    const std::string_view fileName = backslash == std::string_view::npos ? path : path.substr(backslash + 1);
    return common::EqualIgnoringAsciiCase(fileName, kModernHostFileName);
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
