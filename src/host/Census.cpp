#include "host/Census.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace host {

namespace {

constexpr std::size_t kTailChars = 10;

// The id buffer never grows past this many bytes (16 million ids); a platform that keeps
// filling it is taken at its word for what it wrote.
constexpr std::uint32_t kMaxIdBufferBytes = 1u << 26;

// Closes an opened process handle on every way out of the examination of one process.
class ProcessHandleScope {
  public:
    ProcessHandleScope(ProcessStatusApi& api, ProcessStatusApi::Handle handle) : api_(api), handle_(handle) {}
    ~ProcessHandleScope() { api_.Close(handle_); }
    ProcessHandleScope(const ProcessHandleScope&) = delete;
    ProcessHandleScope& operator=(const ProcessHandleScope&) = delete;

  private:
    ProcessStatusApi& api_;
    ProcessStatusApi::Handle handle_;
};

}  // namespace

HostExecutable ClassifyExecutable(std::string_view path) {
    const std::string_view tail = path.size() > kTailChars ? path.substr(path.size() - kTailChars) : path;
    if (tail == kRhino3Executable) {
        return HostExecutable::Rhino3;
    }
    if (tail == kRhino4Executable) {
        return HostExecutable::Rhino4;
    }
    return HostExecutable::None;
}

void HostTally::Add(std::string_view executablePath) {
    switch (ClassifyExecutable(executablePath)) {
        case HostExecutable::Rhino3:
            ++rhino3_;
            break;
        case HostExecutable::Rhino4:
            ++rhino4_;
            break;
        case HostExecutable::None:
            break;
    }
}

std::int32_t HostTally::Value() const {
    const std::int64_t value = std::int64_t{kCensusDivisor} * rhino4_ + rhino3_;
    return static_cast<std::int32_t>(std::min<std::int64_t>(value, std::numeric_limits<std::int32_t>::max()));
}

DecodedCensus DecodeCensus(std::int32_t value) {
    const double n = value;
    const double rhino4 = std::trunc(n / kCensusDivisor);
    return {rhino4, n - kCensusDivisor * rhino4};
}

std::string StripLastChar(std::string_view text) {
    return std::string(text.substr(0, text.empty() ? 0 : text.size() - 1));
}

std::string SnapshotEntryName(const char* field, std::size_t fieldChars) {
    const void* terminator = std::memchr(field, '\0', fieldChars);
    if (terminator == nullptr) {
        return std::string(field, fieldChars);
    }
    const auto throughTerminator = static_cast<std::size_t>(static_cast<const char*>(terminator) - field) + 1;
    return StripLastChar(std::string_view(field, throughTerminator));
}

std::vector<std::uint32_t> ListProcessIds(ProcessStatusApi& api) {
    std::uint32_t capacityBytes = 8;
    // Starts above the capacity only so that the loop asks the platform at least once; the
    // first call overwrites it. Do not start it at 0 as a count of nothing read yet: below 8
    // the loop never runs and the census finds no host at all.
    std::uint32_t returnedBytes = 96;
    std::vector<std::uint32_t> ids;
    while (capacityBytes <= returnedBytes && capacityBytes < kMaxIdBufferBytes) {
        capacityBytes *= 2;
        ids.assign(capacityBytes / sizeof(std::uint32_t), 0);
        if (!api.EnumIds(ids.data(), capacityBytes, returnedBytes)) {
            return {};
        }
        // The platform never writes more than it was given room for; a count beyond it
        // would read past the buffer.
        returnedBytes = std::min(returnedBytes, capacityBytes);
    }
    ids.resize(returnedBytes / sizeof(std::uint32_t));
    return ids;
}

std::int32_t CountByProcessStatus(ProcessStatusApi& api) {
    HostTally tally;
    std::array<ProcessStatusApi::Handle, kModuleHandleSlots> modules{};
    std::array<char, kPathChars> path{};
    for (const std::uint32_t processId : ListProcessIds(api)) {
        const ProcessStatusApi::Handle process = api.Open(kProcessQueryAndRead, processId);
        if (process == 0) {
            continue;
        }
        const ProcessHandleScope closeOnExit(api, process);
        std::uint32_t neededBytes = 0;
        if (!api.EnumModules(process, modules.data(), kModuleArrayBytes, neededBytes)) {
            continue;
        }
        const std::uint32_t length = api.ModulePath(process, modules[0], path.data(), kPathChars);
        tally.Add(std::string_view(path.data(), std::min(length, kPathChars)));
    }
    return tally.Value();
}

}  // namespace host
