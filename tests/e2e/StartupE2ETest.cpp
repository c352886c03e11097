// Start-up of the real curtate.exe beside copies of the simulated host run as Rhino4.exe,
// Rhino3.exe and Rhino.exe of later versions: attachment, the "not running" box, the chooser,
// the choice among later versions and of the running one alone, a second instance, and the end
// of the host while the panel is docked. The retries for the script object are StartupTest's;
// the host's refusals, ApplicationObjectTest's.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "E2eScenario.h"
#include "Session.h"
#include "host/ModernHosts.h"
#include "platform/win32/base/UniqueHandle.h"
#include "platform/win32/com/ComApartment.h"
#include "platform/win32/processes/HostProcesses.h"

namespace {

using driver::ChildProcess;
using driver::HostRun;

constexpr DWORD kStartMs = 30000;
constexpr DWORD kExitMs = 15000;
const std::string kNoHostText = "Rhin is not running!. Start Rhino then start the plug-in";

// The whole file as text; empty when it cannot be read.
std::string ReadTextFile(const std::wstring& path) {
    const win32::UniqueSnapshotHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) {
        return {};
    }
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    return text;
}

int CountLinesStartingWith(const std::string& text, const std::string& prefix) {
    std::istringstream lines(text);
    int count = 0;
    for (std::string line; std::getline(lines, line);) {
        count += line.rfind(prefix, 0) == 0 ? 1 : 0;
    }
    return count;
}

DWORD ProcessOf(HWND window) {
    DWORD processId = 0;
    (void)::GetWindowThreadProcessId(window, &processId);  // 0 for a window that has gone
    return processId;
}

class StartupE2ETest : public ::testing::Test {
  protected:
    void SetUp() override { apartment_ = std::make_unique<win32::ComApartment>(); }

    void TearDown() override {
        EndAll();
        apartment_.reset();
    }

    // Ends the tools first, so none sees its host go while the test is cleaned up.
    void EndAll() {
        tools_.clear();
        hosts_.clear();
    }

    HostRun& StartHost(int version, std::vector<std::string> controlLines = {}) {
        driver::HostOptions options;
        options.version = version;
        options.controlLines = std::move(controlLines);
        hosts_.push_back(std::make_unique<HostRun>(e2e::BuildPaths(), options));
        return *hosts_.back();
    }

    ChildProcess& StartTool() {
        tools_.push_back(
            std::make_unique<ChildProcess>(ChildProcess::Start(driver::WindowsPath(e2e::BuildPaths().curtateExe), {})));
        return *tools_.back();
    }

    // Waits until the tool's panel is docked into the host's main window; null on time-out
    // or when the tool ended. Sends the tool no message: start-up blocks its thread while it
    // creates the host's object and pauses between attempts.
    static HWND WaitForDockedPanel(const HostRun& host, const ChildProcess& tool) {
        HWND panel = nullptr;
        (void)driver::WaitUntil(
            [&] {
                panel = DockedPanel(host, tool);
                return panel != nullptr || !tool.Running();
            },
            kStartMs, 50);
        return panel;
    }

    // The tool's panel as a direct child of the host's main window, or null. GetParent would
    // answer the owner, or nothing, for a docked window that keeps its top-level style;
    // FindWindowExW walks the real children.
    static HWND DockedPanel(const HostRun& host, const ChildProcess& tool) {
        for (HWND child = ::FindWindowExW(host.MainWindow(), nullptr, driver::kFormClass, driver::kPanelTitle);
             child != nullptr;
             child = ::FindWindowExW(host.MainWindow(), child, driver::kFormClass, driver::kPanelTitle)) {
            if (ProcessOf(child) == tool.Id()) {
                return child;
            }
        }
        return nullptr;
    }

    // Waits until the tool ends; fails the test when any window of it shows on the way.
    static std::optional<DWORD> WaitForSilentExit(const ChildProcess& tool) {
        bool showedWindow = false;
        (void)driver::WaitUntil(
            [&] {
                showedWindow = showedWindow || !driver::TopLevelWindowsOf(tool.Id()).empty();
                return !tool.Running();
            },
            kExitMs);
        EXPECT_FALSE(showedWindow) << "the tool showed a window before it ended";
        return tool.WaitForExit(0);
    }

    static std::string Log(const HostRun& host) { return ReadTextFile(host.LogFile()); }

    // The system's message box of the tool, once it shows; null on time-out.
    static HWND WaitForMessageBox(const ChildProcess& tool) {
        HWND box = nullptr;
        (void)driver::WaitUntil(
            [&] {
                box = driver::FindSystemMessageBox(tool.Id());
                return box != nullptr;
            },
            kStartMs);
        return box;
    }

    // The panel shown as a visible top-level window, once it shows; null on time-out.
    static HWND WaitForTopLevelPanel() {
        HWND panel = nullptr;
        (void)driver::WaitUntil(
            [&] {
                panel = ::FindWindowW(driver::kFormClass, driver::kPanelTitle);
                return panel != nullptr && ::IsWindowVisible(panel);
            },
            kStartMs);
        return panel != nullptr && ::IsWindowVisible(panel) ? panel : nullptr;
    }

    static std::wstring MessageBoxText(HWND box) {
        wchar_t text[256] = {};
        (void)::GetDlgItemTextW(box, 0xFFFF, text, 256);  // the message box's text control
        return text;
    }

    std::vector<std::unique_ptr<HostRun>> hosts_;

  private:
    std::unique_ptr<win32::ComApartment> apartment_;
    std::vector<std::unique_ptr<ChildProcess>> tools_;
};

TEST_F(StartupE2ETest, AttachesToTheOnlyRunningHostAndDocksIntoItsMainWindow) {
    for (const int version : {4, 3, 7, 5}) {
        SCOPED_TRACE(version);
        HostRun& host = StartHost(version);
        ChildProcess& tool = StartTool();

        const HWND panel = WaitForDockedPanel(host, tool);
        ASSERT_NE(panel, nullptr) << "the panel was not docked";
        EXPECT_TRUE(::GetWindowLongW(panel, GWL_EXSTYLE) & WS_EX_TOPMOST);
        const std::string log = Log(host);
        EXPECT_EQ(CountLinesStartingWith(log, "GetScriptObject("), 1) << log;
        EXPECT_EQ(CountLinesStartingWith(log, "Visible("), 1) << log;
        EXPECT_EQ(CountLinesStartingWith(log, "WindowHandle("), 1) << log;

        // Closing the panel ends the tool; the host stays.
        (void)::PostMessageW(panel, WM_CLOSE, 0, 0);
        EXPECT_EQ(tool.WaitForExit(kExitMs), std::optional<DWORD>(0));
        EXPECT_TRUE(host.Running());
        EndAll();
    }
}

TEST_F(StartupE2ETest, NoHostShowsTheBoxWithTheTitledPanelStillHiddenThenEnds) {
    ChildProcess& tool = StartTool();
    std::optional<driver::InfoBox> box;
    ASSERT_TRUE(driver::WaitUntil([&] { return (box = driver::FindInfoBox(tool.Id())).has_value(); }, kStartMs))
        << "no information box";
    EXPECT_EQ(box->message, kNoHostText);
    // The box has no owner, and the panel already carries its title but is not shown.
    EXPECT_EQ(::GetWindow(box->window, GW_OWNER), nullptr);
    const HWND panel = ::FindWindowW(driver::kFormClass, driver::kPanelTitle);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(ProcessOf(panel), tool.Id());
    EXPECT_FALSE(::IsWindowVisible(panel));

    driver::ClickInfoBoxOk(box->window);
    EXPECT_EQ(tool.WaitForExit(kExitMs), std::optional<DWORD>(0));
}

TEST_F(StartupE2ETest, BothRunningTheChooserPicksTheHostAndTheOtherSeesNoCall) {
    for (const int chosenVersion : {4, 3}) {
        SCOPED_TRACE(chosenVersion);
        HostRun& rhino4 = StartHost(4);
        HostRun& rhino3 = StartHost(3);
        ChildProcess& tool = StartTool();

        HWND chooser = nullptr;
        ASSERT_TRUE(driver::WaitUntil([&] { return (chooser = driver::FindChooser(tool.Id())) != nullptr; }, kStartMs))
            << "no chooser";
        driver::ChooseVersion(chooser, chosenVersion);

        const HostRun& chosen = chosenVersion == 4 ? rhino4 : rhino3;
        const HostRun& other = chosenVersion == 4 ? rhino3 : rhino4;
        ASSERT_NE(WaitForDockedPanel(chosen, tool), nullptr) << "the panel was not docked";
        EXPECT_EQ(CountLinesStartingWith(Log(chosen), "GetScriptObject("), 1);
        EXPECT_EQ(Log(other), "");
        EndAll();
    }
}

TEST_F(StartupE2ETest, ClosingTheChooserWithoutAChoiceEndsTheTool) {
    StartHost(4);
    StartHost(3);
    ChildProcess& tool = StartTool();
    HWND chooser = nullptr;
    ASSERT_TRUE(driver::WaitUntil([&] { return (chooser = driver::FindChooser(tool.Id())) != nullptr; }, kStartMs))
        << "no chooser";
    (void)::PostMessageW(chooser, WM_CLOSE, 0, 0);
    EXPECT_EQ(tool.WaitForExit(kExitMs), std::optional<DWORD>(0));
}

TEST_F(StartupE2ETest, SecondInstanceBesideADockedFirstEndsSilently) {
    HostRun& host = StartHost(4);
    ChildProcess& first = StartTool();
    ASSERT_NE(WaitForDockedPanel(host, first), nullptr) << "the first panel was not docked";

    ChildProcess& second = StartTool();
    EXPECT_EQ(WaitForSilentExit(second), std::optional<DWORD>(0));

    EXPECT_TRUE(first.Running());
    EXPECT_NE(DockedPanel(host, first), nullptr);
    EXPECT_EQ(CountLinesStartingWith(Log(host), "GetScriptObject("), 1);
}

// Rhino closing takes the docked panel with it (Wine destroys it with WM_NCDESTROY alone)
// and the tool ends without a box. The host is closed as a user closes it: a host process
// killed outright would leave its class registration behind in Wine's rpcss, and every
// later creation of "Rhino4.Interface" in the session would then fail.
TEST_F(StartupE2ETest, HostClosingTakesTheDockedPanelAndEndsTheTool) {
    HostRun& host = StartHost(4);
    ChildProcess& tool = StartTool();
    ASSERT_NE(WaitForDockedPanel(host, tool), nullptr) << "the panel was not docked";

    (void)::PostMessageW(host.MainWindow(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(driver::WaitUntil([&] { return !host.Running(); }, kExitMs)) << "the host did not close";
    EXPECT_EQ(WaitForSilentExit(tool), std::optional<DWORD>(0));
}

// A host that answers window handle 0: on the Rhino 4 route the failing steps are passed
// over silently and the panel shows as a top-level window; on the Rhino 3 route the
// system's message box says so first. Either way the tool keeps running.
TEST_F(StartupE2ETest, HostWithoutMainWindowLeavesThePanelTopLevel) {
    static const struct {
        int version;
        const wchar_t* message;  // nullptr: no message box
    } kCases[] = {{4, nullptr}, {3, L"Failed to find the Rhino3 main window"}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.version);
        driver::HostOptions options;
        options.version = c.version;
        options.nullWindowHandle = true;
        hosts_.push_back(std::make_unique<HostRun>(e2e::BuildPaths(), options));
        ChildProcess& tool = StartTool();

        if (c.message != nullptr) {
            const HWND box = WaitForMessageBox(tool);
            ASSERT_NE(box, nullptr) << "no message box";
            EXPECT_EQ(MessageBoxText(box), c.message);
            wchar_t caption[64] = {L'?'};
            (void)::GetWindowTextW(box, caption, 64);
            EXPECT_STREQ(caption, L"");
            (void)::PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        const HWND panel = WaitForTopLevelPanel();
        ASSERT_NE(panel, nullptr) << "the panel did not show";
        EXPECT_EQ(ProcessOf(panel), tool.Id());
        EXPECT_TRUE(tool.Running());
        EndAll();
    }
}

TEST_F(StartupE2ETest, CensusCountsTheRunningHostCopiesByBothRoutes) {
    StartHost(4);
    StartHost(3);
    EXPECT_EQ(win32::GetPlatformId(), 2u);
    EXPECT_EQ(win32::CountHostProcesses(), 1001);
    EXPECT_EQ(win32::CountHostProcessesByProcessStatus(), 1001);
    EXPECT_EQ(win32::CountHostProcessesBySnapshot(), 1001);
}

// Rhino 5 and later are attached only when no Rhino 3 or Rhino 4 runs, then the newest of them;
// the process census finds them as Rhino.exe by the version resource of each copy.
TEST_F(StartupE2ETest, NewestModernHostIsAttachedOnlyWithoutRhino3Or4AndTheOtherSeesNoCall) {
    static const struct {
        int attached;
        int other;
        std::map<int, int> modernCensus;
    } kCases[] = {{8, 7, {{7, 1}, {8, 1}}}, {4, 8, {{8, 1}}}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.attached);
        HostRun& other = StartHost(c.other);
        HostRun& attached = StartHost(c.attached);
        EXPECT_EQ(host::CountModernHosts(win32::RunningModernHosts()).processesByVersion, c.modernCensus);
        ChildProcess& tool = StartTool();

        ASSERT_NE(WaitForDockedPanel(attached, tool), nullptr) << "the panel was not docked";
        EXPECT_EQ(CountLinesStartingWith(Log(attached), "GetScriptObject("), 1);
        EXPECT_EQ(Log(other), "");
        EndAll();
    }
}

// Rhino 5's installer put both programs on 64-bit Windows: with the 32-bit one running and the
// 64-bit one registered as well, the tool attaches to the running one, and COM starts no second
// Rhino.
TEST_F(StartupE2ETest, Rhino5Of32BitsBesideARegistered64BitOneIsTheOneAttached) {
    if (e2e::BuildPaths().hostsim32Exe.empty()) {
        GTEST_SKIP() << "machine lacks: a 32-bit simulated Rhino (CURTATE_E2E_HOSTSIM32 names none)";
    }
    (void)driver::PreparedHostExe(e2e::BuildPaths(), 5);  // the 64-bit Rhino 5, registered only
    driver::HostOptions options;
    options.version = 5;
    options.bits32 = true;
    hosts_.push_back(std::make_unique<HostRun>(e2e::BuildPaths(), options));
    HostRun& host = *hosts_.back();
    ChildProcess& tool = StartTool();

    ASSERT_NE(WaitForDockedPanel(host, tool), nullptr) << "the panel was not docked into the running Rhino 5";
    EXPECT_EQ(CountLinesStartingWith(Log(host), "GetScriptObject("), 1);
    const std::vector<host::RunningExecutable> running = win32::RunningModernHosts();
    ASSERT_EQ(running.size(), 1u) << "another Rhino was started";
    EXPECT_EQ(running.front().processId, host.ProcessId());
    EXPECT_FALSE(running.front().is64Bit);
}

// A running Rhino that COM cannot reach (here: one that registered no class objects): COM starts
// another copy, which the tool releases without showing or docking into it, and says so.
TEST_F(StartupE2ETest, ModernCopyStartedByComInsteadOfTheRunningOneIsReleasedAndTold) {
    ChildProcess running = ChildProcess::Start(driver::PreparedHostExe(e2e::BuildPaths(), 8), {L"--no-class-objects"});
    HWND runningWindow = nullptr;
    ASSERT_TRUE(driver::WaitUntil(
        [&] {
            const std::vector<HWND> windows = driver::TopLevelWindowsOf(running.Id());
            runningWindow = windows.empty() ? nullptr : windows.front();
            return runningWindow != nullptr || !running.Running();
        },
        kStartMs))
        << "the host did not show its window";
    ChildProcess& tool = StartTool();

    const HWND box = WaitForMessageBox(tool);
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(MessageBoxText(box), L"The running Rhino 8 could not be reached; the panel runs unattached.");
    (void)::PostMessageW(box, WM_COMMAND, IDOK, 0);
    const HWND panel = WaitForTopLevelPanel();
    EXPECT_NE(panel, nullptr) << "the panel did not show";
    std::vector<host::RunningExecutable> copies = win32::RunningModernHosts();
    ASSERT_EQ(copies.size(), 2u);
    const DWORD started = copies.front().processId == running.Id() ? copies.back().processId : copies.front().processId;
    EXPECT_TRUE(driver::TopLevelWindowsOf(started).empty()) << "the copy COM started was shown";
    EndAll();
    driver::HostControl::Connect(8).Quit();
    (void)::PostMessageW(runningWindow, WM_CLOSE, 0, 0);
    EXPECT_NE(running.WaitForExit(kExitMs), std::nullopt);
}

// The registry as an installation may leave it: Rhino 8 registered only under the shared
// "Rhino.Interface", or under no ProgID at all. The ProgIDs are registered again afterwards.
TEST_F(StartupE2ETest, ModernHostIsCreatedFromTheFirstRegisteredProgIdOrTheFailureIsTold) {
    static const struct {
        const char* name;
        std::vector<const wchar_t*> removed;
        bool attaches;
    } kCases[] = {
        {"only Rhino.Interface", {L"Rhino.Interface.8"}, true},
        {"nothing registered", {L"Rhino.Interface.8", L"Rhino.Interface"}, false},
    };
    const std::wstring rhino8 = driver::PreparedHostExe(e2e::BuildPaths(), 8);
    const auto registerRhino8 = [&] {
        ASSERT_EQ(driver::RunToEnd(rhino8, {L"/regserver"}, 30000), std::optional<DWORD>(0));
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        HostRun& host = StartHost(8);
        // Registered last, so the shared ProgID names this version.
        registerRhino8();
        for (const wchar_t* progId : c.removed) {
            const std::wstring key = std::wstring(L"Software\\Classes\\") + progId;
            for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
                (void)::RegDeleteTreeW(root, key.c_str());  // absent under one of the roots
                (void)::RegDeleteKeyW(root, key.c_str());
            }
        }
        ChildProcess& tool = StartTool();

        if (c.attaches) {
            EXPECT_NE(WaitForDockedPanel(host, tool), nullptr) << "the panel was not docked";
            EXPECT_EQ(CountLinesStartingWith(Log(host), "GetScriptObject("), 1);
        } else {
            const HWND box = WaitForMessageBox(tool);
            ASSERT_NE(box, nullptr) << "no message box";
            // The message, then why: no ProgID names a class.
            EXPECT_EQ(MessageBoxText(box).rfind(L"Failed to create Rhino8 object\n\n", 0), 0u) << MessageBoxText(box);
            EXPECT_NE(MessageBoxText(box).find(L"\"Rhino.Interface\" is not registered"), std::wstring::npos);
            (void)::PostMessageW(box, WM_COMMAND, IDOK, 0);
            const HWND panel = WaitForTopLevelPanel();
            EXPECT_NE(panel, nullptr) << "the panel did not show";
            EXPECT_EQ(ProcessOf(panel), tool.Id());
            EXPECT_EQ(Log(host), "");
        }
        EndAll();
        registerRhino8();
    }
}

// A Rhino.exe without a version resource is no host the tool knows. Started without class
// objects and closed as a user closes it, so it leaves nothing of Rhino 4's behind.
TEST_F(StartupE2ETest, RhinoExeWithoutAVersionResourceCountsAsNoHost) {
    ChildProcess host = ChildProcess::Start(driver::PreparedHostExe(e2e::BuildPaths(), 0), {L"--no-class-objects"});
    HWND hostWindow = nullptr;
    ASSERT_TRUE(driver::WaitUntil(
        [&] {
            const std::vector<HWND> windows = driver::TopLevelWindowsOf(host.Id());
            hostWindow = windows.empty() ? nullptr : windows.front();
            return hostWindow != nullptr || !host.Running();
        },
        kStartMs))
        << "the host did not show its window";
    ChildProcess& tool = StartTool();
    std::optional<driver::InfoBox> box;
    EXPECT_TRUE(driver::WaitUntil([&] { return (box = driver::FindInfoBox(tool.Id())).has_value(); }, kStartMs))
        << "no information box";
    if (box) {
        EXPECT_EQ(box->message, kNoHostText);
        driver::ClickInfoBoxOk(box->window);
    }
    EXPECT_EQ(tool.WaitForExit(kExitMs), std::optional<DWORD>(0));
    (void)::PostMessageW(hostWindow, WM_CLOSE, 0, 0);
    EXPECT_NE(host.WaitForExit(kExitMs), std::nullopt);
}

}  // namespace
