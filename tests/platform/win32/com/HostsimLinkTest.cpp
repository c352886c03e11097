// The dispatcher against the simulated host in its own process: COM starts it as a local
// server, and every host operation goes through HostScript, the way the tool calls them.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <thread>

#include "FakeBusyPlatform.h"
#include "StartProcess.h"
#include "common/HostError.h"
#include "host/BusyPolicy.h"
#include "host/HostScript.h"
#include "host/PatientDispatcher.h"
#include "platform/win32/base/TextConversion.h"
#include "platform/win32/base/UniqueHandle.h"
#include "platform/win32/com/ComApartment.h"
#include "platform/win32/com/ComDispatcher.h"
#include "platform/win32/com/MessageFilter.h"

#ifndef CURTATE_HOSTSIM_EXE
#define CURTATE_HOSTSIM_EXE ""
#endif

namespace {

using common::HostError;
using common::HostPoint;
using common::HostValue;

// The simulated host's executable: CURTATE_HOSTSIM (a Windows path) when set, else the one
// of this build. A Unix path from the build system is reached through Wine's Z: drive.
std::wstring HostsimPath() {
    if (const char* fromEnv = std::getenv("CURTATE_HOSTSIM"); fromEnv != nullptr && *fromEnv != '\0') {
        return win32::Utf8ToWide(fromEnv);
    }
    std::wstring path = win32::Utf8ToWide(CURTATE_HOSTSIM_EXE);
    if (!path.empty() && path.front() == L'/') {
        for (wchar_t& c : path) {
            if (c == L'/') {
                c = L'\\';
            }
        }
        path = L"Z:" + path;
    }
    return path;
}

bool FileExists(const std::wstring& path) {
    return !path.empty() && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs `exe args` and answers its exit code, or -1 when it could not start or did not end
// within `timeoutMs` (it is then ended).
int RunToEnd(const std::wstring& exe, const std::wstring& args, DWORD timeoutMs) {
    PROCESS_INFORMATION info{};
    if (!testing_support::StartProcess(exe, L"\"" + exe + L"\" " + args, L"", info)) {
        return -1;
    }
    const win32::UniqueProcessHandle process(info.hProcess);
    const win32::UniqueProcessHandle thread(info.hThread);
    if (::WaitForSingleObject(process.Get(), timeoutMs) != WAIT_OBJECT_0) {
        (void)::TerminateProcess(process.Get(), 1);
        return -1;
    }
    DWORD code = 0;
    (void)::GetExitCodeProcess(process.Get(), &code);
    return static_cast<int>(code);
}

// Ends the host process after a deadline unless disarmed first, so that a host that stops
// answering turns a hanging call into a failed one.
class Watchdog {
  public:
    Watchdog(HANDLE process, std::chrono::seconds deadline)
        : thread_([this, process, deadline] {
              std::unique_lock lock(mutex_);
              if (!cv_.wait_for(lock, deadline, [this] { return disarmed_; })) {
                  fired_ = true;
                  (void)::TerminateProcess(process, 9);
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            disarmed_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }
    bool Fired() const { return fired_; }

  private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool disarmed_ = false;
    std::atomic<bool> fired_ = false;
    std::thread thread_;
};

bool RunningUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// A host ended by force cannot withdraw its class registrations. Windows drops them when
// the process dies; Wine's RPC service keeps handing them out, so every later creation in
// the same prefix would fail with RPC_S_SERVER_UNAVAILABLE. Stopping that service clears
// them (COM starts it again on the next creation). Nothing to do on Windows.
void ForgetDeadHostRegistrations() {
    if (!RunningUnderWine()) {
        return;
    }
    SC_HANDLE manager = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    ASSERT_NE(manager, nullptr);
    SC_HANDLE service = ::OpenServiceW(manager, L"RpcSs", SERVICE_STOP | SERVICE_QUERY_STATUS);
    SERVICE_STATUS status{};
    if (service != nullptr && ::ControlService(service, SERVICE_CONTROL_STOP, &status)) {
        for (int i = 0; i < 100 && status.dwCurrentState != SERVICE_STOPPED; ++i) {
            ::Sleep(100);
            if (!::QueryServiceStatus(service, &status)) {
                break;
            }
        }
    }
    if (service != nullptr) {
        (void)::CloseServiceHandle(service);
    }
    (void)::CloseServiceHandle(manager);
}

class HostsimLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        exe_ = HostsimPath();
        if (!FileExists(exe_)) {
            // The build makes hostsim.exe before these tests: without it the build is broken.
            FAIL() << "hostsim.exe not built at \"" << win32::WideToUtf8(exe_) << "\"";
        }
        ASSERT_EQ(RunToEnd(exe_, L"/regserver", 60000), 0) << "hostsim.exe /regserver failed";
    }

    // Ends the host the way a user closes it, so that it withdraws its classes; a host
    // that does not answer is ended by force.
    void TearDown() override {
        if (control_ != nullptr) {
            try {
                (void)control_->Call("Quit", {});
            } catch (const HostError&) {
                // Already gone.
            }
        }
        script_.reset();
        control_.reset();
        application_.reset();
        if (process_.IsValid() && ::WaitForSingleObject(process_.Get(), 10000) != WAIT_OBJECT_0) {
            (void)::TerminateProcess(process_.Get(), 0);
            (void)::WaitForSingleObject(process_.Get(), 10000);
            endedByForce_ = true;
        }
        if (endedByForce_) {
            ForgetDeadHostRegistrations();
        }
    }

    // Starts the host through COM, as the tool's start-up does, and keeps its process
    // handle (from its main window) so the test can end it.
    void Attach() {
        win32::ComObjectCreator creator;
        application_ = creator.CreateObject("Rhino4.Interface");
        application_->Put("Visible", HostValue::Bool(true));
        script_ = application_->CallForObject("GetScriptObject");
        control_ = creator.CreateObject("Hostsim.Control");
        host::HostScript script(script_.get());
        const auto hwnd = reinterpret_cast<HWND>(static_cast<std::intptr_t>(script.WindowHandle()));
        ASSERT_TRUE(::IsWindow(hwnd));
        DWORD pid = 0;
        (void)::GetWindowThreadProcessId(hwnd, &pid);
        ASSERT_NE(pid, ::GetCurrentProcessId());
        process_.Reset(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
        ASSERT_TRUE(process_.IsValid());
    }

    std::string Control(const std::string& line) {
        const HostValue reply = control_->Call("Control", {HostValue::String(line)});
        EXPECT_EQ(reply.kind, HostValue::Kind::String) << line;
        return reply.text;
    }

    win32::ComApartment apartment_;
    std::wstring exe_;
    std::unique_ptr<host::Dispatcher> application_;
    std::unique_ptr<host::Dispatcher> script_;
    std::unique_ptr<host::Dispatcher> control_;
    win32::UniqueProcessHandle process_;
    bool endedByForce_ = false;
};

TEST_F(HostsimLinkTest, EveryOperationCrossesTheProcessBoundary) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    const Watchdog watchdog(process_.Get(), std::chrono::seconds(120));
    host::HostScript script(script_.get());
    ASSERT_EQ(Control("clear"), "ok");
    const std::string point = Control("add point 1 2 3");
    const std::string across = Control("add line -10 5 0 10 5 0");   // y = 5 in the XY plane
    const std::string upright = Control("add line 0 -10 0 0 10 0");  // x = 0
    const std::string apart = Control("add line 0 -10 7 0 10 7");    // above the first, never meets it

    EXPECT_TRUE(script.IsPoint(point));
    EXPECT_FALSE(script.IsPoint(across));
    EXPECT_TRUE(script.IsCurve(across));
    EXPECT_TRUE(script.IsCurvePlanar(across));
    EXPECT_TRUE(script.IsCurveInPlane(across, host::PlaneArgument{{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}));
    EXPECT_EQ(script.PointCoordinates(point), (HostPoint{1, 2, 3}));

    const auto all = script.AllObjects();
    ASSERT_TRUE(all.has_value());
    EXPECT_EQ(*all, (std::vector<std::string>{point, across, upright, apart}));

    // The 2-D intersection answer: row 0, column 1 is the point on curve A.
    EXPECT_EQ(script.CurveCurveIntersection(across, upright), (HostPoint{0, 5, 0}));
    // Curves that do not meet answer a non-array.
    EXPECT_EQ(script.CurveCurveIntersection(across, apart), std::nullopt);

    const auto line = script.AddLine(HostValue::Point(0, 0, 0), HostValue::Point(4, 0, 0));
    ASSERT_TRUE(line.has_value());
    EXPECT_TRUE(script.IsCurve(*line));
    const auto division = script.DivideCurve(*line, 4);
    ASSERT_TRUE(division.has_value());
    ASSERT_EQ(division->size(), 5u);
    EXPECT_EQ(host::HostScript::ReadPoint((*division)[1]), (HostPoint{1, 0, 0}));
    script.AddPoint((*division)[1]);
    ASSERT_EQ(script.AllObjects()->size(), 6u);

    script.SelectObject(point);
    EXPECT_EQ(script.SelectedObjects(), (std::vector<std::string>{point}));
    script.UnselectObject(point);
    EXPECT_EQ(script.SelectedObjects(), std::nullopt);
    script.SelectObject(across);
    script.UnselectAllObjects();
    EXPECT_EQ(script.SelectedObjects(), std::nullopt);

    // Interactive picks answered from the control object's queue; a cancel is the null answer.
    Control("pick " + upright);
    EXPECT_EQ(script.GetObject("Select the line", 4), upright);
    Control("pick cancel");
    EXPECT_EQ(script.GetObject("Select the line", 4), std::nullopt);
    Control("pick " + point);
    EXPECT_EQ(script.GetObjects("Select points", 1), (std::vector<std::string>{point}));

    script.EnableRedraw(false);
    script.Command("-InterpCrv 0,0,0 1,1,0 2,0,0 Enter");
    script.EnableRedraw(true);
    EXPECT_EQ(Control("lastcommand"), "0 0 0\n1 1 0\n2 0 0\n");
    script.DeleteObject(*line);
    EXPECT_FALSE(script.IsCurve(*line));

    EXPECT_FALSE(watchdog.Fired());
}

// Every later call of a host that is gone fails at once as HostGone, with the text the tool shows.
void ExpectHostGone(host::HostScript& script, const std::string& id) {
    const auto start = std::chrono::steady_clock::now();
    try {
        (void)script.IsPoint(id);
        ADD_FAILURE() << "no error";
    } catch (const HostError& e) {
        EXPECT_EQ(e.GetCause(), HostError::Cause::HostGone) << e.what();
        EXPECT_NE(e.Description().find("Rhino is no longer running or stopped answering"), std::string::npos)
            << e.Description();
    }
    try {
        script.UnselectAllObjects();
        ADD_FAILURE() << "no error";
    } catch (const HostError& e) {
        EXPECT_EQ(e.GetCause(), HostError::Cause::HostGone) << e.what();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

TEST_F(HostsimLinkTest, HostClosedBetweenTwoCallsIsHostGone) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    const Watchdog watchdog(process_.Get(), std::chrono::seconds(90));
    host::HostScript script(script_.get());
    const std::string point = Control("add point 0 0 0");
    EXPECT_TRUE(script.IsPoint(point));

    (void)control_->Call("Quit", {});
    control_.reset();
    ASSERT_EQ(::WaitForSingleObject(process_.Get(), 30000), WAIT_OBJECT_0);
    ExpectHostGone(script, point);
    EXPECT_FALSE(watchdog.Fired());
}

// A busy host, by each means it can turn calls away, is waited for by the one rule: through
// COM's message filter where COM asks it (Windows), else by the call layer. Wine 8 never asks
// the client's filter: a server filter's SERVERCALL_REJECTED reaches the client as
// RPC_E_CALL_REJECTED, and its SERVERCALL_RETRYLATER is logged as not implemented and the call
// runs anyway.
TEST_F(HostsimLinkTest, BusyHostIsWaitedForByOneRuleWhateverWayItTurnsCallsAway) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    const Watchdog watchdog(process_.Get(), std::chrono::seconds(120));
    const bool wine = RunningUnderWine();
    static const struct {
        const char* means;
        int waitsOnWine;  // the retries the call layer makes under Wine
    } kCases[] = {
        {"object", 3},
        {"filter-rejected", 3},
        {"filter-retrylater", 0},
    };
    testing_support::FakeBusyPlatform platform;
    host::BusyPolicy policy(platform);
    const win32::MessageFilter filter(policy);
    host::PatientDispatcher patient(*script_, policy);
    host::HostScript script(&patient);
    const std::string line = Control("add line 0 0 0 1 0 0 selected");
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.means);
        ASSERT_EQ(Control(std::string("busy calls 3 ") + c.means), "ok");
        const host::BusyPolicy::CommandScope command(policy);
        // Each wait, the filter's or the call layer's, reads the policy's clock once.
        const int clockReadsBefore = platform.clockReads;
        EXPECT_EQ(script.SelectedObjects(), std::optional<std::vector<std::string>>({line}));
        const int waits = platform.clockReads - clockReadsBefore;
        if (wine) {
            EXPECT_EQ(waits, c.waitsOnWine);
        } else {
            EXPECT_EQ(waits, 3);
        }
        EXPECT_TRUE(platform.askedAt.empty());
        Control("busy off");
    }

    // Busy for longer than the patience: the user is asked once, and Cancel fails the call as busy.
    ASSERT_EQ(Control("busy calls 1000"), "ok");
    std::optional<host::BusyPolicy::CommandScope> command(std::in_place, policy);
    const std::uint64_t start = platform.now;
    try {
        script.UnselectAllObjects();
        ADD_FAILURE() << "no error";
    } catch (const HostError& e) {
        EXPECT_EQ(e.GetCause(), HostError::Cause::Busy) << e.what();
    }
    EXPECT_EQ(platform.askedAt, std::vector<std::uint64_t>{start + host::kBusyPatienceMs});

    // A question the tool can do without is not waited for: it fails at once, no pause, no question.
    platform.pauses.clear();
    command.reset();
    command.emplace(policy);
    try {
        (void)script.InCommand();
        ADD_FAILURE() << "no error";
    } catch (const HostError& e) {
        EXPECT_EQ(e.GetCause(), HostError::Cause::Busy) << e.what();
    }
    EXPECT_TRUE(platform.pauses.empty());
    EXPECT_EQ(platform.askedAt.size(), 1u);
    Control("busy off");
}

// EnumThreadWindows callback: stores the first visible standard dialog window in *found.
BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM found) {
    wchar_t className[16] = {};
    (void)::GetClassNameW(window, className, 16);
    if (std::wstring(className) == L"#32770" && ::IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

TEST_F(HostsimLinkTest, HostMenusModalBoxKeepsItBusyUntilClosed) {
    ASSERT_NO_FATAL_FAILURE(Attach());
    const Watchdog watchdog(process_.Get(), std::chrono::seconds(60));
    host::HostScript script(script_.get());
    const auto hostWindow = reinterpret_cast<HWND>(static_cast<std::intptr_t>(script.WindowHandle()));
    const DWORD hostThread = ::GetWindowThreadProcessId(hostWindow, nullptr);
    // The menu command, as a click on it arrives.
    ASSERT_TRUE(::PostMessageW(hostWindow, WM_COMMAND, MAKEWPARAM(101, 0), 0));
    HWND box = nullptr;
    for (int i = 0; i < 100 && box == nullptr; ++i) {
        ::Sleep(50);
        (void)::EnumThreadWindows(hostThread, FindVisibleDialog, reinterpret_cast<LPARAM>(&box));
    }
    ASSERT_NE(box, nullptr) << "the host's modal box did not open";
    try {
        script.UnselectAllObjects();
        ADD_FAILURE() << "no error while the box is open";
    } catch (const HostError& e) {
        EXPECT_EQ(e.GetCause(), HostError::Cause::Busy) << e.what();
    }
    ASSERT_TRUE(::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0));
    for (int i = 0; i < 100 && ::IsWindow(box); ++i) {
        ::Sleep(50);
    }
    EXPECT_NO_THROW(script.UnselectAllObjects());
}

}  // namespace
