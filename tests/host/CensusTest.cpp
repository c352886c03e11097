#include "host/Census.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "host/ModernHosts.h"

namespace {

using host::HostExecutable;

TEST(CensusTest, ExecutablesAreRecognisedByTheirLastTenCharactersExactly) {
    static const struct {
        const char* name;
        const char* path;
        HostExecutable expected;
    } kCases[] = {
        {"Rhino 4 path", "C:\\Program Files\\Rhinoceros 4.0\\System\\Rhino4.exe", HostExecutable::Rhino4},
        {"Rhino 3 path", "D:\\Rhino3\\Rhino3.exe", HostExecutable::Rhino3},
        {"upper case", "C:\\Rhino\\RHINO4.EXE", HostExecutable::None},
        {"lower case", "C:\\Rhino\\rhino4.exe", HostExecutable::None},
        {"longer name", "C:\\Tools\\MyRhino4.exe", HostExecutable::Rhino4},
        {"name alone", "Rhino3.exe", HostExecutable::Rhino3},
        {"shorter than ten", "hino4.exe", HostExecutable::None},
        {"empty", "", HostExecutable::None},
        {"trailing blank", "C:\\Rhino4.exe ", HostExecutable::None},
        {"other extension", "C:\\Rhino4.exe.bak", HostExecutable::None},
        {"forward slashes", "/opt/rhino/Rhino4.exe", HostExecutable::Rhino4},
        {"other version", "C:\\Rhino5.exe", HostExecutable::None},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(host::ClassifyExecutable(c.path), c.expected);
    }
}

TEST(CensusTest, ValuePacksRhino4CountTimesThousandPlusRhino3Count) {
    static const struct {
        const char* name;
        std::vector<std::string> paths;
        std::int32_t expected;
    } kCases[] = {
        {"nothing", {}, 0},
        {"one of each", {"C:\\A\\Rhino4.exe", "E:\\B\\C\\Rhino3.exe"}, 1001},
        {"two and three",
         {"C:\\Rhino3.exe", "C:\\Rhino4.exe", "D:\\Rhino3.exe", "D:\\Rhino4.exe", "E:\\Rhino3.exe"},
         2003},
        {"Rhino 4 alone", {"C:\\Rhino4.exe"}, 1000},
        {"Rhino 3 alone", {"C:\\Rhino3.exe"}, 1},
        {"others ignored", {"C:\\explorer.exe", "C:\\rhino4.exe", "C:\\Rhino3.exe"}, 1},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        host::HostTally tally;
        for (const std::string& path : c.paths) {
            tally.Add(path);
        }
        EXPECT_EQ(tally.Value(), c.expected);
    }
}

TEST(CensusTest, DecodingSplitsTheValueIntoBothCounts) {
    static const struct {
        std::int32_t value;
        double rhino4;
        double rhino3;
    } kCases[] = {
        {0, 0, 0}, {1, 0, 1}, {1000, 1, 0}, {2003, 2, 3}, {999, 0, 999}, {1999, 1, 999}, {1001, 1, 1},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.value);
        const host::DecodedCensus decoded = host::DecodeCensus(c.value);
        EXPECT_EQ(decoded.rhino4, c.rhino4);
        EXPECT_EQ(decoded.rhino3, c.rhino3);
    }
}

TEST(CensusTest, SnapshotNameIsTheFieldUpToItsTerminator) {
    char field[260] = {};
    std::memcpy(field, "Rhino4.exe", 10);
    EXPECT_EQ(host::SnapshotEntryName(field, sizeof field), "Rhino4.exe");
    EXPECT_EQ(host::ClassifyExecutable(host::SnapshotEntryName(field, sizeof field)), HostExecutable::Rhino4);

    // A 9x snapshot carries the whole path in the same field.
    char pathField[260] = {};
    std::memcpy(pathField, "C:\\PROGRA~1\\Rhino3.exe", 22);
    EXPECT_EQ(host::ClassifyExecutable(host::SnapshotEntryName(pathField, sizeof pathField)), HostExecutable::Rhino3);

    const char empty[260] = {};
    EXPECT_EQ(host::SnapshotEntryName(empty, sizeof empty), "");

    char full[12];
    std::memcpy(full, "xxRhino4.exe", 12);
    EXPECT_EQ(host::SnapshotEntryName(full, sizeof full), "xxRhino4.exe");
}

TEST(CensusTest, StripLastCharDropsOneCharacter) {
    EXPECT_EQ(host::StripLastChar("Rhino4.exe!"), "Rhino4.exe");
    EXPECT_EQ(host::StripLastChar("x"), "");
    EXPECT_EQ(host::StripLastChar(""), "");
}

// A process table behind the process-status calls, recording what the census asks.
class FakeProcessStatus : public host::ProcessStatusApi {
  public:
    struct Process {
        std::uint32_t id = 0;
        std::string path;
        bool openable = true;
        bool modulesListed = true;
        std::uint32_t reportedLength = UINT32_MAX;  // the path's own length unless set
    };

    std::vector<Process> processes;
    bool enumFails = false;

    std::vector<std::uint32_t> capacities;
    bool buffersZeroFilled = true;
    std::vector<std::uint32_t> opened;
    std::vector<Handle> closed;
    std::vector<std::uint32_t> accessRequested;
    std::vector<std::uint32_t> moduleSizes;
    std::vector<std::uint32_t> pathCapacities;

    bool EnumIds(std::uint32_t* ids, std::uint32_t capacityBytes, std::uint32_t& returnedBytes) override {
        capacities.push_back(capacityBytes);
        const std::uint32_t slots = capacityBytes / 4;
        buffersZeroFilled = buffersZeroFilled && std::all_of(ids, ids + slots, [](std::uint32_t v) { return v == 0; });
        if (enumFails) {
            return false;
        }
        const auto written = std::min<std::size_t>(slots, processes.size());
        for (std::size_t i = 0; i < written; ++i) {
            ids[i] = processes[i].id;
        }
        returnedBytes = static_cast<std::uint32_t>(written * 4);
        return true;
    }

    Handle Open(std::uint32_t access, std::uint32_t processId) override {
        accessRequested.push_back(access);
        const Process* p = Find(processId);
        if (p == nullptr || !p->openable) {
            return 0;
        }
        opened.push_back(processId);
        return kHandleBase + processId;
    }

    bool EnumModules(Handle process, Handle* modules, std::uint32_t sizeBytes, std::uint32_t& neededBytes) override {
        moduleSizes.push_back(sizeBytes);
        const Process* p = Find(static_cast<std::uint32_t>(process - kHandleBase));
        if (p == nullptr || !p->modulesListed) {
            return false;
        }
        modules[0] = kModuleBase + p->id;
        neededBytes = 8;
        return true;
    }

    std::uint32_t ModulePath(Handle process, Handle module, char* path, std::uint32_t capacity) override {
        pathCapacities.push_back(capacity);
        const Process* p = Find(static_cast<std::uint32_t>(process - kHandleBase));
        if (p == nullptr || module != kModuleBase + p->id) {
            return 0;
        }
        const auto length = std::min<std::size_t>(p->path.size(), capacity - 1);
        std::memcpy(path, p->path.data(), length);
        path[length] = '\0';
        return p->reportedLength != UINT32_MAX ? p->reportedLength : static_cast<std::uint32_t>(length);
    }

    void Close(Handle process) override { closed.push_back(process); }

    static constexpr Handle kHandleBase = 0x10000;
    static constexpr Handle kModuleBase = 0x400000;

  private:
    const Process* Find(std::uint32_t id) const {
        for (const Process& p : processes) {
            if (p.id == id) {
                return &p;
            }
        }
        return nullptr;
    }
};

std::vector<FakeProcessStatus::Process> NumberedProcesses(std::size_t count) {
    std::vector<FakeProcessStatus::Process> processes;
    for (std::size_t i = 0; i < count; ++i) {
        processes.push_back({static_cast<std::uint32_t>(100 + 4 * i), "C:\\Windows\\app.exe"});
    }
    return processes;
}

TEST(CensusTest, IdBufferDoublesFromSixteenBytesUntilThePlatformLeavesRoomToSpare) {
    static const struct {
        std::size_t processCount;
        std::vector<std::uint32_t> capacities;
    } kCases[] = {
        {0, {16}}, {3, {16}}, {4, {16, 32}}, {7, {16, 32}}, {8, {16, 32, 64}}, {40, {16, 32, 64, 128, 256}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.processCount);
        FakeProcessStatus api;
        api.processes = NumberedProcesses(c.processCount);
        const std::vector<std::uint32_t> ids = host::ListProcessIds(api);
        EXPECT_EQ(api.capacities, c.capacities);
        EXPECT_TRUE(api.buffersZeroFilled);
        ASSERT_EQ(ids.size(), c.processCount);
        for (std::size_t i = 0; i < ids.size(); ++i) {
            EXPECT_EQ(ids[i], api.processes[i].id);
        }
    }
}

TEST(CensusTest, FailingProcessListCountsNothing) {
    FakeProcessStatus api;
    api.processes = {{8, "C:\\Rhino4.exe"}};
    api.enumFails = true;
    EXPECT_EQ(host::CountByProcessStatus(api), 0);
    EXPECT_EQ(api.capacities, (std::vector<std::uint32_t>{16}));
    EXPECT_TRUE(api.accessRequested.empty());
}

TEST(CensusTest, ProcessStatusRouteSkipsWhatItCannotReadAndClosesEveryHandle) {
    FakeProcessStatus api;
    api.processes = {
        {4, "C:\\Program Files\\Rhinoceros 4.0\\System\\Rhino4.exe"},
        {8, "C:\\Rhino4.exe", false},           // cannot be opened
        {12, "C:\\Rhino3.exe", true, false},    // modules cannot be listed
        {16, "C:\\Rhino3.exe", true, true, 0},  // path cannot be read
        {20, "E:\\Old\\Rhino3.exe"},
        {24, "C:\\Rhino4.exe.tmp", true, true, 13},  // only the reported length counts
        {28, "C:\\Windows\\explorer.exe"},
    };
    EXPECT_EQ(host::CountByProcessStatus(api), 2001);

    EXPECT_EQ(api.opened, (std::vector<std::uint32_t>{4, 12, 16, 20, 24, 28}));
    std::vector<host::ProcessStatusApi::Handle> expectedClosed;
    for (const std::uint32_t id : api.opened) {
        expectedClosed.push_back(FakeProcessStatus::kHandleBase + id);
    }
    EXPECT_EQ(api.closed, expectedClosed);
    EXPECT_TRUE(std::all_of(api.accessRequested.begin(), api.accessRequested.end(),
                            [](std::uint32_t a) { return a == 0x410; }));
    EXPECT_TRUE(std::all_of(api.moduleSizes.begin(), api.moduleSizes.end(), [](std::uint32_t s) { return s == 200; }));
    EXPECT_TRUE(
        std::all_of(api.pathCapacities.begin(), api.pathCapacities.end(), [](std::uint32_t s) { return s == 260; }));
    EXPECT_EQ(api.pathCapacities.size(), 5u);
}

// Rhino 5 and later: a process counts when its executable's file name is Rhino.exe, ignoring
// case, and its version resource gives a major version of 5 or more; the newest counted is the
// one start-up attaches.
TEST(CensusTest, ModernHostsAreRhinoExeOfVersionFiveAndUp) {
    using host::RunningExecutable;
    static const struct {
        const char* name;
        std::vector<RunningExecutable> running;
        std::map<int, int> expected;
        int newest;
    } kCases[] = {
        {"nothing", {}, {}, 0},
        {"Rhino 8 and Rhino 7",
         {{"C:\\Program Files\\Rhino 8\\System\\Rhino.exe", 8}, {"C:\\Program Files\\Rhino 7\\System\\Rhino.exe", 7}},
         {{7, 1}, {8, 1}},
         8},
        {"two of one version", {{"C:\\A\\Rhino.exe", 6}, {"D:\\B\\Rhino.exe", 6}}, {{6, 2}}, 6},
        {"upper case", {{"C:\\RHINO 5\\RHINO.EXE", 5}}, {{5, 1}}, 5},
        {"name alone", {{"rhino.exe", 9}}, {{9, 1}}, 9},
        {"longer name", {{"C:\\Tools\\MyRhino.exe", 8}}, {}, 0},
        {"other extension", {{"C:\\Rhino 8\\Rhino.exe.bak", 8}}, {}, 0},
        {"name as a folder", {{"C:\\Rhino.exe\\app.exe", 8}}, {}, 0},
        {"forward slash is not a separator", {{"C:/Rhino 8/Rhino.exe", 8}}, {}, 0},
        {"version 4", {{"C:\\Rhino 4\\Rhino.exe", 4}}, {}, 0},
        {"no version resource", {{"C:\\Rhino\\Rhino.exe", std::nullopt}}, {}, 0},
        {"Rhino4.exe is not modern", {{"C:\\Rhino4.exe", 4}, {"C:\\Rhino4.exe", 8}}, {}, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const host::ModernCensus census = host::CountModernHosts(c.running);
        EXPECT_EQ(census.processesByVersion, c.expected);
        EXPECT_EQ(census.Newest(), c.newest);
    }
}

}  // namespace
