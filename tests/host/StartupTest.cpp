#include "host/Startup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "FakeBusyPlatform.h"
#include "FakeDispatcher.h"
#include "common/HostError.h"

namespace {

using common::HostValue;
using host::StartupOutcome;
using testing_support::FakeDispatcher;

constexpr std::int32_t kHostWindow = 0x2004A;
constexpr std::uint32_t kRhinoProcessId = 4242;

// The platform and panel as start-up sees them: scripted answers and one log of every
// call, host calls included, in order.
class FakeStartupPlatform : public host::StartupPlatform {
  public:
    bool previousInstance = false;
    // Top-level windows by "class|title".
    std::map<std::string, std::int32_t> windows;
    std::int32_t census = 0;
    std::int16_t chooserAnswer = 0;
    // Application objects by ProgID; a ProgID without one cannot be created.
    std::map<std::string, std::unique_ptr<FakeDispatcher>> objects;
    // ProgIDs registered without an object to create: their creation fails.
    std::set<std::string> registeredOnly;
    std::vector<host::RunningExecutable> running;
    // Not in the log: asking for the later versions changes nothing when none runs.
    int modernCensusAsked = 0;
    bool placementFails = false;
    // The process owning each window; a window not listed is owned by none.
    std::map<std::int32_t, std::uint32_t> windowOwners{{kHostWindow, kRhinoProcessId}};

    std::vector<std::string> log;
    // The busy rule start-up's calls wait by; its user answers Cancel unless told otherwise.
    testing_support::FakeBusyPlatform busyPlatform;
    host::BusyPolicy busy{busyPlatform};

    int Count(const std::string& entry) const { return static_cast<int>(std::count(log.begin(), log.end(), entry)); }
    bool Has(const std::string& entry) const { return Count(entry) > 0; }
    std::ptrdiff_t IndexOf(const std::string& entry) const {
        return std::find(log.begin(), log.end(), entry) - log.begin();
    }

    // A Rhino application object whose script object answers `window`; the app and the
    // script log their calls into the shared log. Returns the app for further scripting.
    FakeDispatcher& AddHost(const std::string& progId, std::int32_t window = kHostWindow) {
        auto app = std::make_unique<FakeDispatcher>();
        auto script = std::make_unique<FakeDispatcher>();
        script->Answer("WindowHandle", [this, window](const auto&) {
            log.push_back("WindowHandle");
            return HostValue::Int32(window);
        });
        app->Answer("GetScriptObject", [this](const auto&) {
            log.push_back("GetScriptObject");
            return HostValue::Empty();
        });
        app->Answer("put Visible", [this](const std::vector<HostValue>& args) {
            log.push_back("Visible=" + args.at(0).Describe());
            return HostValue::Empty();
        });
        scripts[progId] = script.get();
        app->QueueObject("GetScriptObject", std::move(script));
        FakeDispatcher& ref = *app;
        objects[progId] = std::move(app);
        return ref;
    }
    std::map<std::string, FakeDispatcher*> scripts;

    bool PreviousInstance() override {
        log.push_back("PreviousInstance");
        return previousInstance;
    }
    std::int32_t FindPanelWindow(std::string_view className, std::string_view title) override {
        log.push_back("FindPanelWindow");
        const auto found = windows.find(std::string(className) + "|" + std::string(title));
        return found == windows.end() ? 0 : found->second;
    }
    void SetPanelTitle(std::string_view title) override { log.push_back("SetPanelTitle " + std::string(title)); }
    std::int32_t CountHostProcesses() override {
        log.push_back("CountHostProcesses");
        return census;
    }
    std::vector<host::RunningExecutable> RunningModernHosts() override {
        ++modernCensusAsked;
        return running;
    }
    void ShowNoHostMessage(std::string_view text) override { log.push_back("InfoBox " + std::string(text)); }
    std::int16_t ShowChooser() override {
        log.push_back("ShowChooser");
        return chooserAnswer;
    }
    std::unique_ptr<host::Dispatcher> CreateObject(std::string_view progId) override {
        log.push_back("CreateObject " + std::string(progId));
        auto found = objects.find(std::string(progId));
        if (found == objects.end() || !found->second) {
            throw common::HostError("CreateObject", "class not registered");
        }
        return std::move(found->second);
    }
    bool IsRegistered(std::string_view progId) override {
        log.push_back("IsRegistered " + std::string(progId));
        return objects.count(std::string(progId)) > 0 || registeredOnly.count(std::string(progId)) > 0;
    }
    void Sleep(std::uint32_t milliseconds) override { log.push_back("Sleep " + std::to_string(milliseconds)); }
    void LetPendingMessagesRun() override { log.push_back("LetPendingMessagesRun"); }
    void ShowMessageBox(std::string_view text) override { log.push_back("MessageBox " + std::string(text)); }
    std::uint32_t WindowProcessId(std::int32_t window) override {
        const auto found = windowOwners.find(window);
        return found == windowOwners.end() ? 0 : found->second;
    }
    void PlacePanelTopmost() override {
        log.push_back("PlacePanelTopmost");
        if (placementFails) {
            throw std::overflow_error("panel position out of range");
        }
    }
    void Dock(std::int32_t hostWindow) override { log.push_back("Dock " + std::to_string(hostWindow)); }
};

// Whether `object` is `fake`, as start-up keeps it: wrapped to wait for a busy host.
bool Reaches(const std::unique_ptr<host::Dispatcher>& object, FakeDispatcher* fake) {
    if (!object || fake == nullptr) {
        return false;
    }
    const int before = fake->CountOf("IsPoint");
    (void)object->Call("IsPoint", {});
    return fake->CountOf("IsPoint") == before + 1;
}

const std::string kTitle(host::kPanelTitle);
const std::string kClassAndTitle = std::string(host::kPanelWindowClass) + "|" + kTitle;
const std::string kWindow = std::to_string(kHostWindow);

TEST(StartupTest, AttachesToTheOnlyRunningVersion) {
    static const struct {
        const char* name;
        std::int32_t census;
        const char* progId;
        std::vector<std::string> expectedTail;
    } kCases[] = {
        {"Rhino 4 alone",
         1000,
         "Rhino4.Interface",
         {"CreateObject Rhino4.Interface", "GetScriptObject", "Visible=Bool:true", "WindowHandle", "PlacePanelTopmost",
          "Dock " + kWindow}},
        {"two Rhino 4",
         2000,
         "Rhino4.Interface",
         {"CreateObject Rhino4.Interface", "GetScriptObject", "Visible=Bool:true", "WindowHandle", "PlacePanelTopmost",
          "Dock " + kWindow}},
        {"Rhino 3 alone",
         1,
         "Rhino3.Application",
         {"CreateObject Rhino3.Application", "LetPendingMessagesRun", "GetScriptObject", "Visible=Bool:true",
          "WindowHandle", "PlacePanelTopmost", "Dock " + kWindow}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        FakeStartupPlatform platform;
        platform.census = c.census;
        platform.AddHost(c.progId);
        host::HostLink link;

        EXPECT_EQ(host::RunStartup(platform, link, platform.busy), StartupOutcome::ShowPanel);

        std::vector<std::string> expected = {"PreviousInstance", "FindPanelWindow", "SetPanelTitle " + kTitle,
                                             "CountHostProcesses"};
        expected.insert(expected.end(), c.expectedTail.begin(), c.expectedTail.end());
        EXPECT_EQ(platform.log, expected);
        EXPECT_NE(link.HostApp, nullptr);
        EXPECT_TRUE(Reaches(link.RhinoScript, platform.scripts[c.progId]));
        EXPECT_EQ(link.HostWindow, kHostWindow);
        EXPECT_EQ(link.HostVersion, 0);
    }
}

TEST(StartupTest, NoHostShowsTheInfoBoxAfterTheTitleAndEnds) {
    FakeStartupPlatform platform;
    host::HostLink link;
    EXPECT_EQ(host::RunStartup(platform, link, platform.busy), StartupOutcome::EndProgram);
    EXPECT_EQ(platform.log, (std::vector<std::string>{
                                "PreviousInstance", "FindPanelWindow", "SetPanelTitle " + kTitle, "CountHostProcesses",
                                "InfoBox Rhin is not running!. Start Rhino then start the plug-in"}));
    EXPECT_EQ(link.HostApp, nullptr);
}

TEST(StartupTest, BothRunningAsksTheChooser) {
    static const struct {
        const char* name;
        std::int16_t answer;
        const char* createdProgId;  // nullptr: nothing created
        StartupOutcome outcome;
    } kCases[] = {
        {"Rhino 4 chosen", 4, "Rhino4.Interface", StartupOutcome::ShowPanel},
        {"Rhino 3 chosen", 3, "Rhino3.Application", StartupOutcome::ShowPanel},
        {"no choice", 0, nullptr, StartupOutcome::EndProgram},
        {"unknown value", 5, nullptr, StartupOutcome::EndProgram},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        FakeStartupPlatform platform;
        platform.census = 2003;
        platform.chooserAnswer = c.answer;
        platform.AddHost("Rhino4.Interface");
        platform.AddHost("Rhino3.Application");
        host::HostLink link;

        EXPECT_EQ(host::RunStartup(platform, link, platform.busy), c.outcome);
        EXPECT_EQ(link.HostVersion, c.answer);
        EXPECT_EQ(platform.IndexOf("ShowChooser"), platform.IndexOf("CountHostProcesses") + 1);
        EXPECT_EQ(platform.Count("CreateObject Rhino4.Interface") + platform.Count("CreateObject Rhino3.Application"),
                  c.createdProgId ? 1 : 0);
        if (c.createdProgId) {
            EXPECT_TRUE(platform.Has("CreateObject " + std::string(c.createdProgId)));
            EXPECT_TRUE(Reaches(link.RhinoScript, platform.scripts[c.createdProgId]));
            EXPECT_TRUE(platform.Has("Dock " + kWindow));
        } else {
            EXPECT_EQ(platform.log.back(), "ShowChooser");
            EXPECT_EQ(link.HostApp, nullptr);
        }
    }
}

TEST(StartupTest, SingleInstanceCheckEndsSilentlyBeforeTheTitle) {
    static const struct {
        const char* name;
        bool previousInstance;
        std::string window;  // "class|title" of an existing top-level window, or ""
        std::int32_t handle;
        bool ends;
    } kCases[] = {
        {"indication alone", true, "", 0, true},
        {"panel window alone", false, kClassAndTitle, 0x1003E, true},
        {"both", true, kClassAndTitle, 0x1003E, true},
        {"handle above 31 bits", false, kClassAndTitle, -0x7FFF0000, true},
        {"title differs by case", false, "ThunderRT6FormDC|Curtate cycloid curve V2 by Vendrel", 0x1003E, false},
        {"title with trailing blank", false, kClassAndTitle + " ", 0x1003E, false},
        {"other class", false, "ThunderRT6Form|" + kTitle, 0x1003E, false},
        {"neither", false, "", 0, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        FakeStartupPlatform platform;
        platform.previousInstance = c.previousInstance;
        if (!c.window.empty()) {
            platform.windows[c.window] = c.handle;
        }
        host::HostLink link;
        const StartupOutcome outcome = host::RunStartup(platform, link, platform.busy);

        EXPECT_EQ(platform.Count("PreviousInstance"), 1);
        EXPECT_EQ(platform.Count("FindPanelWindow"), 1);
        if (c.ends) {
            EXPECT_EQ(outcome, StartupOutcome::EndProgram);
            EXPECT_EQ(platform.log, (std::vector<std::string>{"PreviousInstance", "FindPanelWindow"}));
        } else {
            EXPECT_TRUE(platform.Has("SetPanelTitle " + kTitle));
        }
    }
}

// Rhino 4 and the later versions, which are attached as Rhino 4.
TEST(StartupTest, Rhino4ScriptObjectIsRetriedWithAPauseAfterEachFailure) {
    static const struct {
        const char* name;
        std::int32_t census;
        std::vector<host::RunningExecutable> running;
        const char* progId;
    } kCases[] = {
        {"Rhino 4", 1000, {}, "Rhino4.Interface"},
        {"Rhino 8", 0, {{"C:\\Program Files\\Rhino 8\\System\\Rhino.exe", 8, kRhinoProcessId}}, "Rhino.Interface.8"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        FakeStartupPlatform platform;
        platform.census = c.census;
        platform.running = c.running;
        FakeDispatcher& app = platform.AddHost(c.progId);
        for (int nth = 1; nth <= 3; ++nth) {
            app.RaiseOn("GetScriptObject", nth);
        }
        host::HostLink link;

        EXPECT_EQ(host::RunStartup(platform, link, platform.busy), StartupOutcome::ShowPanel);

        EXPECT_EQ(app.CountOf("GetScriptObject"), 4);
        EXPECT_EQ(platform.Count("Sleep 500"), 3);
        EXPECT_EQ(platform.log.size(), platform.IndexOf("Sleep 500") + 8u);  // 3 pauses, success, then 4 attach steps
        EXPECT_TRUE(Reaches(link.RhinoScript, platform.scripts[c.progId]));
        EXPECT_EQ(link.HostWindow, kHostWindow);
        EXPECT_TRUE(platform.Has("Dock " + kWindow));
    }
}

TEST(StartupTest, Rhino4WithoutScriptObjectStillShowsHostAndPlacesPanelUndocked) {
    FakeStartupPlatform platform;
    platform.census = 1000;
    FakeDispatcher& app = platform.AddHost("Rhino4.Interface");
    for (int nth = 1; nth <= 11; ++nth) {
        app.RaiseOn("GetScriptObject", nth);
    }
    host::HostLink link;

    EXPECT_EQ(host::RunStartup(platform, link, platform.busy), StartupOutcome::ShowPanel);

    EXPECT_EQ(app.CountOf("GetScriptObject"), 10);
    EXPECT_EQ(platform.Count("Sleep 500"), 10);
    EXPECT_EQ(link.RhinoScript, nullptr);
    EXPECT_EQ(link.HostWindow, 0);
    std::vector<std::string> tail(platform.log.end() - 3, platform.log.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"Visible=Bool:true", "PlacePanelTopmost", "Dock 0"}));
    for (const std::string& entry : platform.log) {
        EXPECT_NE(entry.rfind("MessageBox", 0), 0u) << entry;
    }
}

// Start-up is one command of the busy rule: each call waits on its own clock, and the user is
// asked at most once; after a Cancel the remaining calls share one budget.
TEST(StartupTest, CallsWaitForABusyHostAsOneCommand) {
    static const struct {
        const char* name;
        int appBusyCalls;     // GetScriptObject turned away, 100 ms apart
        int scriptBusyCalls;  // then WindowHandle
        std::vector<std::uint64_t> askedAtMs;
        std::uint64_t endMs;
        bool attached;
    } kCases[] = {
        {"6 s and 6 s: each call its own wait, never asked", 60, 60, {}, 12000, true},
        {"busy throughout, Cancel: asked once, the rest within one budget", 1000000, 0, {10000}, 20000, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        FakeStartupPlatform platform;
        platform.census = 1000;
        FakeDispatcher& app = platform.AddHost("Rhino4.Interface");
        app.BusyFor(c.appBusyCalls);
        platform.scripts["Rhino4.Interface"]->BusyFor(c.scriptBusyCalls);
        host::HostLink link;

        EXPECT_EQ(host::RunStartup(platform, link, platform.busy), StartupOutcome::ShowPanel);

        EXPECT_EQ(platform.busyPlatform.askedAt, c.askedAtMs);
        EXPECT_EQ(platform.busyPlatform.now, c.endMs);
        EXPECT_EQ(link.RhinoScript != nullptr, c.attached);
        EXPECT_EQ(link.HostWindow, c.attached ? kHostWindow : 0);
    }
}

TEST(StartupTest, Rhino4CreationFailureShowsOneMessageAndLeavesThePanelUnattached) {
    FakeStartupPlatform platform;
    platform.census = 1000;
    host::HostLink link;

    EXPECT_EQ(host::RunStartup(platform, link, platform.busy), StartupOutcome::ShowPanel);

    EXPECT_EQ(platform.log.back(), "MessageBox Failed to create Rhino4 object");
    EXPECT_EQ(platform.Count("MessageBox Failed to create Rhino4 object"), 1);
    EXPECT_EQ(platform.IndexOf("CreateObject Rhino4.Interface") + 1,
              platform.IndexOf("MessageBox Failed to create Rhino4 object"));
    EXPECT_EQ(link.HostApp, nullptr);
    EXPECT_EQ(link.RhinoScript, nullptr);
    EXPECT_EQ(link.HostWindow, 0);
}

TEST(StartupTest, Rhino4SkipsEachFailingAttachStep) {
    FakeStartupPlatform platform;
    platform.census = 1000;
    FakeDispatcher& app = platform.AddHost("Rhino4.Interface");
    app.RaiseOn("put Visible", 1);
    platform.scripts["Rhino4.Interface"]->RaiseOn("WindowHandle", 1);
    platform.placementFails = true;
    host::HostLink link;

    EXPECT_EQ(host::RunStartup(platform, link, platform.busy), StartupOutcome::ShowPanel);

    EXPECT_NE(link.RhinoScript, nullptr);
    EXPECT_EQ(link.HostWindow, 0);
    std::vector<std::string> tail(platform.log.end() - 2, platform.log.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"PlacePanelTopmost", "Dock 0"}));
}

TEST(StartupTest, Rhino3FailureIsToldAndThePanelRunsUnattached) {
    enum class Fault { Create, Script, Visible, Window, WindowZero, Placement };
    static const struct {
        const char* name;
        Fault fault;
        const char* message;
        bool appKept;
    } kCases[] = {
        {"creation", Fault::Create, "Failed to create Rhino3 object", false},
        {"script object", Fault::Script, "Failed to get the Rhino3 script object", true},
        {"visible", Fault::Visible, "Failed to make Rhino3 visible", true},
        {"window handle", Fault::Window, "Failed to find the Rhino3 main window", true},
        {"window handle 0", Fault::WindowZero, "Failed to find the Rhino3 main window", true},
        {"placement", Fault::Placement, "Failed to dock the panel into Rhino3", true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        FakeStartupPlatform platform;
        platform.census = 1;
        if (c.fault != Fault::Create) {
            FakeDispatcher& app =
                platform.AddHost("Rhino3.Application", c.fault == Fault::WindowZero ? 0 : kHostWindow);
            FakeDispatcher& script = *platform.scripts["Rhino3.Application"];
            if (c.fault == Fault::Script) {
                app.RaiseOn("GetScriptObject", 1);
            }
            if (c.fault == Fault::Visible) {
                app.RaiseOn("put Visible", 1);
            }
            if (c.fault == Fault::Window) {
                script.RaiseOn("WindowHandle", 1);
            }
            platform.placementFails = c.fault == Fault::Placement;
        }
        host::HostLink link;

        EXPECT_EQ(host::RunStartup(platform, link, platform.busy), StartupOutcome::ShowPanel);

        EXPECT_EQ(platform.log.back(), "MessageBox " + std::string(c.message));
        EXPECT_EQ(platform.Count("GetScriptObject") + platform.Count("CreateObject Rhino3.Application"),
                  c.fault == Fault::Create || c.fault == Fault::Script ? 1 : 2);
        EXPECT_FALSE(platform.Has("Dock " + kWindow));
        EXPECT_FALSE(platform.Has("Dock 0"));
        EXPECT_EQ(link.HostApp != nullptr, c.appKept);
        EXPECT_EQ(link.RhinoScript, nullptr);
        EXPECT_EQ(link.HostWindow, 0);
    }
}

// Rhino 5 and later run as Rhino.exe and are looked for only when no Rhino 3 or Rhino 4 runs;
// the newest running version is created from its first registered ProgID (for Rhino 5 the one
// of the running program's bitness), then attached as Rhino 4 once its window is known to be
// the running Rhino's.
TEST(StartupTest, ModernVersionIsAttachedOnlyWhenNoRhino3Or4Runs) {
    const host::RunningExecutable rhino5{"C:\\Program Files\\Rhinoceros 5 (64-bit)\\System\\Rhino.exe", 5,
                                         kRhinoProcessId};
    const host::RunningExecutable rhino5x86{"C:\\Program Files (x86)\\Rhinoceros 5\\System\\Rhino.exe", 5,
                                            kRhinoProcessId, false};
    const host::RunningExecutable rhino7{"C:\\Program Files\\Rhino 7\\System\\Rhino.exe", 7, kRhinoProcessId};
    const host::RunningExecutable rhino8{"C:\\Program Files\\Rhino 8\\System\\Rhino.exe", 8, kRhinoProcessId};
    // Rhino 5 and later show the host only once its window is known; Rhino 3 and 4 first.
    const std::vector<std::string> modernTail = {"GetScriptObject", "WindowHandle", "Visible=Bool:true",
                                                 "PlacePanelTopmost", "Dock " + kWindow};
    const std::vector<std::string> classicTail = {"GetScriptObject", "Visible=Bool:true", "WindowHandle",
                                                  "PlacePanelTopmost", "Dock " + kWindow};
    static const struct {
        const char* name;
        std::int32_t census;
        std::vector<host::RunningExecutable> running;
        std::vector<std::string> registered;        // the first one's object is the one expected attached
        std::vector<std::string> expectedCreation;  // empty: nothing created
    } kCases[] = {
        {"Rhino 7 alone",
         0,
         {rhino7},
         {"Rhino.Interface.7"},
         {"IsRegistered Rhino.Interface.7", "CreateObject Rhino.Interface.7"}},
        {"Rhino 7 and Rhino 8",
         0,
         {rhino7, rhino8, rhino7},
         {"Rhino.Interface.8", "Rhino.Interface.7"},
         {"IsRegistered Rhino.Interface.8", "CreateObject Rhino.Interface.8"}},
        {"Rhino 8 registered only as Rhino.Interface",
         0,
         {rhino8},
         {"Rhino.Interface"},
         {"IsRegistered Rhino.Interface.8", "CreateObject Rhino.Interface"}},
        {"Rhino 5, 64-bit",
         0,
         {rhino5},
         {"Rhino5x64.Interface", "Rhino5.Interface"},
         {"IsRegistered Rhino5x64.Interface", "CreateObject Rhino5x64.Interface"}},
        {"Rhino 5, 64-bit, only the 32-bit ProgID registered",
         0,
         {rhino5},
         {"Rhino5.Interface"},
         {"IsRegistered Rhino5x64.Interface", "CreateObject Rhino5.Interface"}},
        {"Rhino 5, 32-bit, both registered",
         0,
         {rhino5x86},
         {"Rhino5.Interface", "Rhino5x64.Interface"},
         {"IsRegistered Rhino5.Interface", "CreateObject Rhino5.Interface"}},
        {"Rhino 5, 32-bit and 64-bit",
         0,
         {rhino5x86, rhino5},
         {"Rhino5x64.Interface", "Rhino5.Interface"},
         {"IsRegistered Rhino5x64.Interface", "CreateObject Rhino5x64.Interface"}},
        {"Rhino 4 beside Rhino 8",
         1000,
         {rhino8},
         {"Rhino4.Interface", "Rhino.Interface.8"},
         {"CreateObject Rhino4.Interface"}},
        {"Rhino 3 beside Rhino 8",
         1,
         {rhino8},
         {"Rhino3.Application", "Rhino.Interface.8"},
         {"CreateObject Rhino3.Application", "LetPendingMessagesRun"}},
        {"only a Rhino.exe the census does not count", 0, {{"C:\\Rhino\\Rhino.exe", 4}}, {"Rhino4.Interface"}, {}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        FakeStartupPlatform platform;
        platform.census = c.census;
        platform.running = c.running;
        for (const std::string& progId : c.registered) {
            platform.AddHost(progId);
        }
        host::HostLink link;
        const StartupOutcome outcome = host::RunStartup(platform, link, platform.busy);

        EXPECT_EQ(platform.modernCensusAsked, c.census == 0 ? 1 : 0);
        std::vector<std::string> expected = {"PreviousInstance", "FindPanelWindow", "SetPanelTitle " + kTitle,
                                             "CountHostProcesses"};
        if (c.expectedCreation.empty()) {
            expected.push_back("InfoBox " + std::string(host::kNoHostMessage));
            EXPECT_EQ(outcome, StartupOutcome::EndProgram);
            EXPECT_EQ(platform.log, expected);
            continue;
        }
        expected.insert(expected.end(), c.expectedCreation.begin(), c.expectedCreation.end());
        const std::vector<std::string>& attachTail = c.census == 0 ? modernTail : classicTail;
        expected.insert(expected.end(), attachTail.begin(), attachTail.end());
        EXPECT_EQ(outcome, StartupOutcome::ShowPanel);
        EXPECT_EQ(platform.log, expected);
        EXPECT_TRUE(Reaches(link.RhinoScript, platform.scripts[c.registered.front()]));
        EXPECT_EQ(link.HostWindow, kHostWindow);
    }
}

TEST(StartupTest, ModernCreationFailureShowsOneMessageWithTheVersionAndLeavesThePanelUnattached) {
    static const struct {
        const char* name;
        int version;
        std::set<std::string> registeredOnly;  // registered, but their creation fails
        std::vector<std::string> expectedTail;
    } kCases[] = {
        {"nothing registered",
         8,
         {},
         {"IsRegistered Rhino.Interface.8", "CreateObject Rhino.Interface",
          "MessageBox Failed to create Rhino8 object\n\nclass not registered"}},
        {"registered, creation fails",
         7,
         {"Rhino.Interface.7", "Rhino.Interface"},
         {"IsRegistered Rhino.Interface.7", "CreateObject Rhino.Interface.7",
          "MessageBox Failed to create Rhino7 object\n\nclass not registered"}},
        {"Rhino 5, nothing registered",
         5,
         {},
         {"IsRegistered Rhino5x64.Interface", "CreateObject Rhino5.Interface",
          "MessageBox Failed to create Rhino5 object\n\nclass not registered"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        FakeStartupPlatform platform;
        platform.running = {{"D:\\Rhino\\System\\rhino.EXE", c.version}};
        platform.registeredOnly = c.registeredOnly;
        host::HostLink link;

        EXPECT_EQ(host::RunStartup(platform, link, platform.busy), StartupOutcome::ShowPanel);

        const std::vector<std::string> tail(platform.log.end() - static_cast<std::ptrdiff_t>(c.expectedTail.size()),
                                            platform.log.end());
        EXPECT_EQ(tail, c.expectedTail);
        EXPECT_EQ(platform.Count(c.expectedTail.back()), 1);
        EXPECT_EQ(link.HostApp, nullptr);
        EXPECT_EQ(link.RhinoScript, nullptr);
        EXPECT_EQ(link.HostWindow, 0);
    }
}

// COM may start another copy of Rhino instead of reaching the running one (another bitness of
// Rhino 5, a ProgID that names another installation): its window belongs to no counted process.
TEST(StartupTest, ModernObjectOfANotRunningCopyIsReleasedAndThePanelRunsUnattached) {
    constexpr std::int32_t kOtherWindow = 0x3005C;
    const std::string notReached = "MessageBox The running Rhino 5 could not be reached; the panel runs unattached.";
    static const struct {
        const char* name;
        std::int32_t window;
        int scriptFailures;
        std::vector<std::string> expectedTail;
        bool windowRaises = false;
    } kCases[] = {
        {"window of another process", kOtherWindow, 0, {"GetScriptObject", "WindowHandle", notReached}},
        {"window handle 0", 0, 0, {"GetScriptObject", "WindowHandle", notReached}},
        {"no script object", kHostWindow, 10, {"Sleep 500", notReached + "\nGetScriptObject: simulated failure"}},
        {"window handle failed",
         kHostWindow,
         0,
         {"GetScriptObject", notReached + "\nWindowHandle: the window is gone"},
         true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        FakeStartupPlatform platform;
        platform.running = {{"C:\\Program Files (x86)\\Rhinoceros 5\\System\\Rhino.exe", 5, kRhinoProcessId, false}};
        platform.windowOwners[kOtherWindow] = kRhinoProcessId + 1;
        FakeDispatcher& app = platform.AddHost("Rhino5x64.Interface", c.window);
        for (int nth = 1; nth <= c.scriptFailures; ++nth) {
            app.RaiseOn("GetScriptObject", nth);
        }
        if (c.windowRaises) {
            platform.scripts["Rhino5x64.Interface"]->RaiseOn("WindowHandle", 1, "the window is gone");
        }
        host::HostLink link;

        EXPECT_EQ(host::RunStartup(platform, link, platform.busy), StartupOutcome::ShowPanel);

        const std::vector<std::string> tail(platform.log.end() - static_cast<std::ptrdiff_t>(c.expectedTail.size()),
                                            platform.log.end());
        EXPECT_EQ(tail, c.expectedTail);
        EXPECT_FALSE(platform.Has("Visible=Bool:true"));
        EXPECT_FALSE(platform.Has("PlacePanelTopmost"));
        EXPECT_EQ(link.HostApp, nullptr);
        EXPECT_EQ(link.RhinoScript, nullptr);
        EXPECT_EQ(link.HostWindow, 0);
    }
}

}  // namespace
