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
        }
    }
    return census;
}

std::vector<std::string> ModernProgIds(int version) {
    if (version == kOldestModernVersion) {
        return {"Rhino5x64.Interface", "Rhino5.Interface"};
    }
    return {"Rhino.Interface." + std::to_string(version), "Rhino.Interface"};
}

std::string ModernCreateFailedMessage(int version) {
    return "Failed to create Rhino" + std::to_string(version) + " object";
}

}  // namespace host
