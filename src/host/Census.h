#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// The census value packs both counts into one 32-bit integer:
// kCensusDivisor × (Rhino 4 processes) + (Rhino 3 processes).
constexpr std::int32_t kCensusDivisor = 1000;

// The executable names a host process is recognised by, ten characters each.
constexpr std::string_view kRhino3Executable = "Rhino3.exe";
constexpr std::string_view kRhino4Executable = "Rhino4.exe";

enum class HostExecutable { None, Rhino3, Rhino4 };

// Which host version an executable path names, judged by its last ten characters alone
// (the whole path when shorter), compared exactly and case-sensitively: the directory and
// anything before the tail do not matter, so "...\MyRhino4.exe" is Rhino 4 and
// "...\rhino4.exe" is nothing.
HostExecutable ClassifyExecutable(std::string_view path);

// Running counts of recognised host processes.
class HostTally {
  public:
    void Add(std::string_view executablePath);

    // kCensusDivisor × (Rhino 4 count) + (Rhino 3 count), saturated at the 32-bit maximum.
    std::int32_t Value() const;

  private:
    std::int32_t rhino3_ = 0;
    std::int32_t rhino4_ = 0;
};

// The counts start-up reads back from a census value, in double precision:
// rhino4 is the integer part of value / kCensusDivisor, rhino3 the remainder.
// Exact while fewer than kCensusDivisor Rhino 3 processes run.
struct DecodedCensus {
    double rhino4 = 0;
    double rhino3 = 0;
};
DecodedCensus DecodeCensus(std::int32_t value);

// The text without its last character ("" stays "").
std::string StripLastChar(std::string_view text);

// The executable name held in a fixed-size, NUL-terminated character field of a process
// snapshot entry: the field up to and including its terminator, less its last character,
// which is the terminator. Taking StripLastChar of the whole fixed field would keep the
// padding NULs and no name would ever match by its last ten characters. A field that
// holds no terminator is taken whole.
std::string SnapshotEntryName(const char* field, std::size_t fieldChars);

// The process-status interface of the platform, one method per call the census makes
// (EnumProcesses, OpenProcess, EnumProcessModules, the module's path, CloseHandle).
// Handles are opaque integers; 0 is "no handle".
class ProcessStatusApi {
  public:
    using Handle = std::uintptr_t;

    virtual ~ProcessStatusApi() = default;

    // Writes up to capacityBytes / 4 process ids into `ids` and the number of bytes written
    // into `returnedBytes`. False when the platform call failed.
    virtual bool EnumIds(std::uint32_t* ids, std::uint32_t capacityBytes, std::uint32_t& returnedBytes) = 0;
    // The process opened with `access`, not inheritable, or 0 when it cannot be opened.
    virtual Handle Open(std::uint32_t access, std::uint32_t processId) = 0;
    // Fills `modules` (told `sizeBytes` bytes) with the process's module handles, the
    // executable's first. False on failure.
    virtual bool EnumModules(Handle process, Handle* modules, std::uint32_t sizeBytes, std::uint32_t& neededBytes) = 0;
    // Writes the module's full path into `path` (capacity in characters) and returns its
    // length in characters, 0 on failure.
    virtual std::uint32_t ModulePath(Handle process, Handle module, char* path, std::uint32_t capacity) = 0;
    virtual void Close(Handle process) = 0;
};

// PROCESS_QUERY_INFORMATION | PROCESS_VM_READ.
constexpr std::uint32_t kProcessQueryAndRead = 0x410;
// Room for module handles; the platform is told this many bytes.
constexpr std::size_t kModuleHandleSlots = 200;
constexpr std::uint32_t kModuleArrayBytes = 200;
constexpr std::uint32_t kPathChars = 260;

// The running process ids, in the platform's order. The byte capacity starts at 16 and
// doubles, each time with a fresh zero-filled buffer, until the platform writes fewer
// bytes than the capacity. A failing platform call lists nothing.
std::vector<std::uint32_t> ListProcessIds(ProcessStatusApi& api);

// The census value by the process-status route: every listed process is opened for
// query and read, its first module's path read and classified. A process that cannot be
// opened, whose modules cannot be listed or whose path cannot be read is skipped; every
// opened handle is closed.
std::int32_t CountByProcessStatus(ProcessStatusApi& api);

}  // namespace host
