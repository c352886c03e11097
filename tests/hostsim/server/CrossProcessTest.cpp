#include <gtest/gtest.h>

#include "DispatchCall.h"
#include "ServerProcess.h"
#include "hostsim/server/HostIdentity.h"
#include "hostsim/server/VariantConvert.h"
#include "hostsim/server/WideText.h"

namespace hostsim {
namespace {

using namespace std::chrono_literals;
using testing::BoolArg;
using testing::CallByName;
using testing::PointArg;
using testing::ServerExePath;
using testing::ServerProcess;
using testing::TextArg;
using testing::TextOf;
using testing::Watchdog;

constexpr auto kStartLimit = 30s;

ComPtr<IDispatch> CreateByProgId(const wchar_t* progId, HRESULT& hr) {
    ComPtr<IDispatch> object;
    CLSID clsid{};
    hr = CLSIDFromProgID(progId, &clsid);
    if (SUCCEEDED(hr)) {
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, object.PutVoid());
    }
    return object;
}

DWORD WindowProcessId(const Variant& handle) {
    if (handle.Get().vt != VT_I4) {
        return 0;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(reinterpret_cast<HWND>(static_cast<INT_PTR>(handle.Get().lVal)), &pid);
    return pid;
}

class CrossProcessTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ServerProcess registration(ServerExePath(), L"/regserver");
        registered_ = registration.WaitExit(kStartLimit) == DWORD{0};
    }

    void SetUp() override {
        ASSERT_TRUE(registered_) << "hostsim.exe /regserver failed";
        folder_ = testing::ScratchFolder(L"cross");
        logPath_ = folder_ + L"\\calls.log";
        DeleteFileW(logPath_.c_str());
        scenePath_ = folder_ + L"\\scene.txt";
        ASSERT_TRUE(testing::WriteTextFile(scenePath_,
                                           "line -10 0 0 10 0 0\n"
                                           "line 2 -10 0 2 10 0\n"
                                           "point 1 2 3 selected\n"));
    }

    // Starts the server with the scene and call log plus `extra` switches, and waits until it
    // serves.
    std::unique_ptr<ServerProcess> Start(const std::wstring& extra) {
        auto server = std::make_unique<ServerProcess>(
            ServerExePath(), L"--scene \"" + scenePath_ + L"\" --log \"" + logPath_ + L"\" " + extra);
        EXPECT_TRUE(server->Started());
        EXPECT_TRUE(server->WaitReady(kStartLimit));
        return server;
    }

    // Creates the application object by Rhino 4's ProgID (a running server's, or one COM starts)
    // and obtains its script object.
    void AttachToRhino4(ComPtr<IDispatch>& app, ComPtr<IDispatch>& script) {
        HRESULT hr = E_FAIL;
        app = CreateByProgId(L"Rhino4.Interface", hr);
        ASSERT_HRESULT_SUCCEEDED(hr);
        script = ScriptOf(app.Get());
        ASSERT_TRUE(script);
    }

    ComPtr<IDispatch> ScriptOf(IDispatch* app) {
        const auto answer = CallByName(app, L"GetScriptObject", {});
        EXPECT_EQ(answer.hr, S_OK);
        if (answer.result.Get().vt != VT_DISPATCH || !answer.result.Get().pdispVal) {
            return {};
        }
        answer.result.Get().pdispVal->AddRef();
        return ComPtr<IDispatch>::Adopt(answer.result.Get().pdispVal);
    }

    static inline bool registered_ = false;
    ComApartment apartment_;
    std::wstring folder_;
    std::wstring logPath_;
    std::wstring scenePath_;
};

TEST_F(CrossProcessTest, CallsReachTheRunningServerAndAnswersComeBack) {
    Watchdog watchdog(120s, "cross-process calls");
    auto server = Start(L"");
    ComPtr<IDispatch> app;
    ComPtr<IDispatch> script;
    ASSERT_NO_FATAL_FAILURE(AttachToRhino4(app, script));

    // Creation connected to the process started here, not to a new one.
    const auto handle = CallByName(script.Get(), L"WindowHandle", {});
    ASSERT_EQ(handle.hr, S_OK);
    EXPECT_EQ(WindowProcessId(handle.result), server->Id());
    wchar_t title[256] = {};
    GetWindowTextW(reinterpret_cast<HWND>(static_cast<INT_PTR>(handle.result.Get().lVal)), title, 256);
    EXPECT_NE(std::wstring(title).find(L"Rhinoceros 4.0"), std::wstring::npos);

    const auto all = CallByName(script.Get(), L"AllObjects", {});
    ASSERT_EQ(all.hr, S_OK);
    const Value ids = ValueFromVariant(all.result.Get());
    ASSERT_EQ(ids.Elements().size(), 3u);

    std::vector<Variant> args;
    args.push_back(TextArg(Utf8ToWide(ids.Elements()[0].AsString())));
    args.push_back(TextArg(Utf8ToWide(ids.Elements()[1].AsString())));
    const auto hits = CallByName(script.Get(), L"CurveCurveIntersection", std::move(args));
    ASSERT_EQ(hits.hr, S_OK);
    ASSERT_EQ(hits.result.Get().vt, VT_ARRAY | VT_VARIANT);
    LONG index[2] = {0, 1};
    Variant pointOnA;
    ASSERT_HRESULT_SUCCEEDED(SafeArrayGetElement(hits.result.Get().parray, index, pointOnA.Put()));
    EXPECT_EQ(ValueFromVariant(pointOnA.Get()), Value::Point(2, 0, 0));

    std::vector<Variant> addArgs;
    addArgs.push_back(PointArg(5, 6, 7));
    const auto added = CallByName(script.Get(), L"AddPoint", std::move(addArgs));
    ASSERT_EQ(added.hr, S_OK);
    EXPECT_FALSE(TextOf(added.result).empty());

    // Every call is in the log file as soon as it has answered.
    const std::string log = testing::ReadTextFile(logPath_);
    EXPECT_NE(log.find("GetScriptObject()\n"), std::string::npos) << log;
    EXPECT_NE(log.find("CurveCurveIntersection(String"), std::string::npos) << log;
    EXPECT_NE(log.find("AddPoint(Array[0:3]{Double 5; Double 6; Double 7})\n"), std::string::npos) << log;
}

TEST_F(CrossProcessTest, RaisedErrorCarriesItsDescriptionAcrossProcesses) {
    Watchdog watchdog(120s, "raised error");
    auto server = Start(L"--control \"fault raise AddLine 1\"");
    ComPtr<IDispatch> app;
    ComPtr<IDispatch> script;
    ASSERT_NO_FATAL_FAILURE(AttachToRhino4(app, script));
    std::vector<Variant> args;
    args.push_back(PointArg(0, 0, 0));
    args.push_back(PointArg(1, 0, 0));
    const auto raised = CallByName(script.Get(), L"AddLine", std::move(args));
    EXPECT_EQ(raised.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(raised.description, L"Injected failure");
    EXPECT_EQ(raised.source, L"Rhino");
}

// Dialog boxes opened by control lines: the busy kind turns script calls away, the other lets
// them run inside what counts as a command of the user's. A name made unknown fails its look-up.
TEST_F(CrossProcessTest, DialogBoxesAndUnknownNamesPlayedThroughControlLines) {
    Watchdog watchdog(120s, "dialog boxes and unknown names");
    auto server = Start(L"--unknown LastCreatedObjects");
    ComPtr<IDispatch> app;
    ComPtr<IDispatch> script;
    ASSERT_NO_FATAL_FAILURE(AttachToRhino4(app, script));
    HRESULT hr = E_FAIL;
    ComPtr<IDispatch> control = CreateByProgId(L"Hostsim.Control.4", hr);
    ASSERT_HRESULT_SUCCEEDED(hr);
    const auto controlLine = [&](const wchar_t* text) {
        std::vector<Variant> line;
        line.push_back(TextArg(text));
        return TextOf(CallByName(control.Get(), L"Control", std::move(line)).result);
    };
    EXPECT_EQ(CallByName(script.Get(), L"LastCreatedObjects", {}).hr, DISP_E_UNKNOWNNAME);

    const struct {
        const wchar_t* open;
        HRESULT hr;
    } kCases[] = {
        {L"dialog open runs", S_OK},
        {L"dialog open busy", RPC_E_SERVERCALL_RETRYLATER},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(WideToUtf8(c.open));
        EXPECT_EQ(controlLine(c.open), L"ok");
        const auto during = CallByName(script.Get(), L"InCommand", {});
        EXPECT_EQ(during.hr, c.hr);
        if (during.hr == S_OK) {
            EXPECT_EQ(ValueFromVariant(during.result.Get()), Value::Int32(1));
        }
        EXPECT_EQ(controlLine(L"dialog close"), L"ok");
        const auto after = CallByName(script.Get(), L"InCommand", {});
        EXPECT_EQ(after.hr, S_OK);
        EXPECT_EQ(ValueFromVariant(after.result.Get()), Value::Int32(0));
    }
    const std::string log = testing::ReadTextFile(logPath_);
    EXPECT_NE(log.find("LastCreatedObjects() # unknown name: GetIDsOfNames refused it\n"), std::string::npos) << log;
}

bool IsDeadServerFailure(HRESULT hr) {
    return hr == RPC_E_DISCONNECTED || hr == RPC_E_SERVER_DIED || hr == RPC_E_SERVER_DIED_DNE ||
           hr == HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE) || hr == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED) ||
           hr == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE);
}

// The host is reached through the running object table here, without class objects: Wine keeps
// the class registration of a killed process and would hand it to every later creation.
TEST_F(CrossProcessTest, KilledServerFailsTheNextCallInsteadOfHanging) {
    Watchdog watchdog(120s, "call after the server was killed");
    auto server = Start(L"--null-window-handle --no-class-objects");
    ComPtr<IUnknown> active;
    HRESULT hr = E_FAIL;
    for (int attempt = 0; attempt < 50; ++attempt) {
        hr = GetActiveObject(kRhino4Class.clsid, nullptr, active.Put());
        if (SUCCEEDED(hr)) {
            break;
        }
        Sleep(100);
    }
    ASSERT_HRESULT_SUCCEEDED(hr);
    ComPtr<IDispatch> app;
    ASSERT_HRESULT_SUCCEEDED(active->QueryInterface(IID_IDispatch, app.PutVoid()));
    ComPtr<IDispatch> script = ScriptOf(app.Get());
    ASSERT_TRUE(script);
    const auto handle = CallByName(script.Get(), L"WindowHandle", {});
    ASSERT_EQ(handle.hr, S_OK);
    EXPECT_EQ(handle.result.Get().vt, VT_I4);
    EXPECT_EQ(handle.result.Get().lVal, 0) << "--null-window-handle";

    server->Kill();
    const auto after = CallByName(script.Get(), L"AllObjects", {});
    EXPECT_TRUE(IsDeadServerFailure(after.hr)) << std::hex << after.hr;
    // The log written before the kill is complete.
    EXPECT_NE(testing::ReadTextFile(logPath_).find("WindowHandle()\n"), std::string::npos);
}

TEST_F(CrossProcessTest, ServerEndingInsideACallFailsThatCallAndTheNext) {
    Watchdog watchdog(120s, "call while the server ends");
    auto server = Start(L"--control \"fault exit AllObjects 1\"");
    ComPtr<IDispatch> app;
    ComPtr<IDispatch> script;
    ASSERT_NO_FATAL_FAILURE(AttachToRhino4(app, script));
    const auto during = CallByName(script.Get(), L"AllObjects", {});
    EXPECT_TRUE(IsDeadServerFailure(during.hr)) << std::hex << during.hr;
    EXPECT_EQ(server->WaitExit(30s), DWORD{3});
    const auto after = CallByName(script.Get(), L"AllObjects", {});
    EXPECT_TRUE(IsDeadServerFailure(after.hr)) << std::hex << after.hr;
    const std::string log = testing::ReadTextFile(logPath_);
    EXPECT_NE(log.find("AllObjects()\nexit\n"), std::string::npos) << log;

    // The host revoked its classes before it ended, so a new one can be created.
    app.Reset();
    script.Reset();
    auto next = Start(L"");
    HRESULT hr = E_FAIL;
    ComPtr<IDispatch> again = CreateByProgId(L"Rhino4.Interface", hr);
    EXPECT_HRESULT_SUCCEEDED(hr);
}

TEST_F(CrossProcessTest, ServerStartedByComIsHiddenUntilMadeVisible) {
    Watchdog watchdog(120s, "server started by COM");
    ComPtr<IDispatch> app;
    ComPtr<IDispatch> script;
    ASSERT_NO_FATAL_FAILURE(AttachToRhino4(app, script));
    const auto handle = CallByName(script.Get(), L"WindowHandle", {});
    ASSERT_EQ(handle.hr, S_OK);
    const HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(handle.result.Get().lVal));
    ASSERT_TRUE(IsWindow(window));
    DWORD pid = WindowProcessId(handle.result);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    ASSERT_NE(process, nullptr);

    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(CallByName(app.Get(), L"Visible", {}, DISPATCH_PROPERTYGET).result.Get().boolVal, VARIANT_FALSE);
    std::vector<Variant> show;
    show.push_back(BoolArg(true));
    EXPECT_EQ(CallByName(app.Get(), L"Visible", std::move(show), DISPATCH_PROPERTYPUT).hr, S_OK);
    EXPECT_TRUE(IsWindowVisible(window));

    // The control object of the same host ends it.
    HRESULT hr = E_FAIL;
    ComPtr<IDispatch> control = CreateByProgId(L"Hostsim.Control.4", hr);
    ASSERT_HRESULT_SUCCEEDED(hr);
    std::vector<Variant> line;
    line.push_back(TextArg(L"document"));
    EXPECT_NE(TextOf(CallByName(control.Get(), L"Control", std::move(line)).result).find(L"redraw on"),
              std::wstring::npos);
    EXPECT_EQ(CallByName(control.Get(), L"Quit", {}).hr, S_OK);
    const DWORD waited = WaitForSingleObject(process, 30000);
    EXPECT_EQ(waited, WAIT_OBJECT_0);
    if (waited != WAIT_OBJECT_0) {
        TerminateProcess(process, 99);
    }
    CloseHandle(process);
}

}  // namespace
}  // namespace hostsim

namespace hostsim {
namespace {

// A copy named Rhino3.exe plays Rhino 3: its own ProgID connects to it, and its window says so.
TEST(CrossProcessRhino3Test, CopyNamedRhino3AnswersRhino3Application) {
    using namespace std::chrono_literals;
    testing::Watchdog watchdog(120s, "Rhino 3 copy");
    ComApartment apartment;
    const std::wstring folder = testing::ScratchFolder(L"rhino3-run");
    const std::wstring rhino3 = folder + L"\\Rhino3.exe";
    ASSERT_TRUE(CopyFileW(testing::ServerExePath().c_str(), rhino3.c_str(), FALSE));
    {
        testing::ServerProcess registration(rhino3, L"/regserver");
        ASSERT_EQ(registration.WaitExit(30s), DWORD{0});
    }
    {
        testing::ServerProcess server(rhino3, L"");
        ASSERT_TRUE(server.WaitReady(30s));
        HRESULT hr = E_FAIL;
        ComPtr<IDispatch> app = CreateByProgId(L"Rhino3.Application", hr);
        ASSERT_HRESULT_SUCCEEDED(hr);
        const auto answer = testing::CallByName(app.Get(), L"GetScriptObject", {});
        ASSERT_EQ(answer.result.Get().vt, VT_DISPATCH);
        const auto handle = testing::CallByName(answer.result.Get().pdispVal, L"WindowHandle", {});
        EXPECT_EQ(WindowProcessId(handle.result), server.Id());
        wchar_t title[256] = {};
        GetWindowTextW(reinterpret_cast<HWND>(static_cast<INT_PTR>(handle.result.Get().lVal)), title, 256);
        EXPECT_EQ(std::wstring(title), L"Untitled - Rhinoceros 3.0 (simulated)");
    }
    testing::ServerProcess unregistration(rhino3, L"/unregserver");
    EXPECT_EQ(unregistration.WaitExit(30s), DWORD{0});
    DeleteFileW(rhino3.c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace hostsim

namespace hostsim {
namespace {

TEST(ServerStartTest, UnreadableStartInputEndsTheServerWithCode2) {
    using namespace std::chrono_literals;
    testing::Watchdog watchdog(120s, "start failures");
    const struct {
        const char* name;
        const wchar_t* arguments;
        DWORD code;
    } kCases[] = {
        {"bad control line", L"--control frobnicate", 2},
        {"missing scene file", L"--scene Z:\\no\\such\\scene.txt", 2},
        {"unknown switch", L"--frobnicate", 1},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        testing::ServerProcess server(testing::ServerExePath(), c.arguments);
        EXPECT_EQ(server.WaitExit(30s), c.code);
    }
}

}  // namespace
}  // namespace hostsim
