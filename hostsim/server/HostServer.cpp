#include "hostsim/server/HostServer.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "hostsim/model/Document.h"
#include "hostsim/model/Scene.h"
#include "hostsim/model/ScriptApi.h"
#include "hostsim/server/ApplicationObject.h"
#include "hostsim/server/BusyFilter.h"
#include "hostsim/server/CallLogFile.h"
#include "hostsim/server/ClassFactory.h"
#include "hostsim/server/ControlObject.h"
#include "hostsim/server/DocumentSnapshot.h"
#include "hostsim/server/MainWindow.h"
#include "hostsim/server/ScriptObject.h"
#include "hostsim/server/WideText.h"

namespace hostsim {

namespace {

// Exit code of a process ended by an injected "exit" fault, as a crashed host would be.
constexpr UINT kFaultExitCode = 3;

void ReportStartFailure(const std::string& text) {
    std::fputs(("hostsim: " + text + "\n").c_str(), stderr);
    std::fflush(stderr);
}

// Makes an automation object and hands out its first reference to the holder.
template <typename T, typename... Args>
ComPtr<IDispatch> MakeObject(Args&&... args) {
    return ComPtr<IDispatch>::Adopt(new T(std::forward<Args>(args)...));
}

// The application object's entry in the running object table, where automation clients find
// a running host with GetActiveObject.
class ActiveObjectRegistration {
  public:
    ActiveObjectRegistration() = default;
    ~ActiveObjectRegistration() { Revoke(); }
    ActiveObjectRegistration(const ActiveObjectRegistration&) = delete;
    ActiveObjectRegistration& operator=(const ActiveObjectRegistration&) = delete;

    void Register(IUnknown* object, REFCLSID clsid) {
        ThrowIfFailed(RegisterActiveObject(object, clsid, ACTIVEOBJECT_STRONG, &cookie_), "RegisterActiveObject");
        registered_ = true;
    }
    void Revoke() {
        if (registered_) {
            registered_ = false;
            // Fails only when the entry is already gone.
            (void)RevokeActiveObject(cookie_, nullptr);
        }
    }

  private:
    DWORD cookie_ = 0;
    bool registered_ = false;
};

// Runs the message loop of the thread until WM_QUIT.
void RunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Loads the scene and runs the control lines the command line gives. False, with the reason
// written to standard error, when one of them cannot be read.
bool PrepareDocument(ScriptApi& api, const ServerOptions& options) {
    try {
        if (!options.sceneFile.empty()) {
            LoadSceneFile(api.Doc(), WideToUtf8(options.sceneFile));
        }
        for (const std::string& line : options.controlLines) {
            api.Control(line);
        }
    } catch (const ScriptError& e) {
        ReportStartFailure(e.Description());
        return false;
    } catch (const std::exception& e) {
        ReportStartFailure(e.what());
        return false;
    }
    return true;
}

// What follows every automation call: the call is logged, shown in the command history when
// it ran a command, and the views redrawn when it may have changed the document.
ScriptObject::AfterCall AfterEachCall(ScriptApi& api, MainWindow& window, CallLogFile& logFile) {
    return [&api, &window, &logFile](const std::string& operation, const std::vector<Value>& args) {
        logFile.Append(api.Log());
        // The command line shows the commands run, as the host echoes them.
        if (operation == "Command" && !args.empty() && args.front().Kind() == ValueKind::String) {
            window.AddHistory("Command: " + args.front().AsString());
            if (!api.LastCommandNote().empty()) {
                window.AddHistory(api.LastCommandNote());
            }
        }
        // Only after a call that may change the document: a redraw snapshots and paints the whole
        // document, so redrawing after every query would make a command that asks once per
        // object (SelAllPts: IsPoint for each) quadratic in the document.
        if (ScriptApi::MayChangeDocument(operation, args)) {
            window.DocumentChanged();
        }
    };
}

// The test control object's view of the host: control lines redraw the views after them, and
// the window shows a viewport a line made active.
ControlHooks ControlHooksFor(ScriptApi& api, MainWindow& window) {
    return ControlHooks{[&api, &window](const std::string& line) {
                            const ViewKind activeBefore = api.ActiveView();
                            std::string reply = api.Control(line);
                            window.DocumentChanged();
                            if (api.ActiveView() != activeBefore) {
                                window.ActiveViewChanged();
                            }
                            window.UserCommandChanged();
                            return reply;
                        },
                        [&api] { return api.Log().Text(); }, [&api] { return api.DocumentText(); },
                        [&api] { api.Control("log clear"); },
                        [&window] { PostMessageW(window.Handle(), WM_CLOSE, 0, 0); }};
}

// What the window shows of the host and changes in it: the document, the active viewport, the
// dialog boxes (the busy kind keeps the host busy, the other counts as the user's command) and
// the command of the user's.
MainWindow::Sources WindowSources(ScriptApi& api) {
    return MainWindow::Sources{[&api] { return DocumentSnapshot(api.Doc()); },
                               [&api] { return api.Doc().RedrawEnabled(); },
                               [&api] { return api.ActiveView(); },
                               [&api](ViewKind view) { api.SetActiveView(view); },
                               [&api](DialogKind kind, bool open) {
                                   if (kind == DialogKind::Busy) {
                                       api.Busy().SetModalOpen(open);
                                   } else {
                                       api.SetCommandDialogOpen(open);
                                   }
                               },
                               [&api] { return api.UserCommand(); },
                               [&api](std::string name) { api.SetUserCommand(std::move(name)); }};
}

// Publishes the class objects of the played version and the version-independent control class,
// each answering its one object, until the registrations are cleared.
void PublishClassObjects(const HostIdentity& identity,
                         IDispatch* application,
                         IDispatch* control,
                         std::vector<ClassRegistration>& registrations) {
    const auto publish = [&registrations](const ServerClass& serverClass, IDispatch* object) {
        auto* factory = new SingletonClassFactory(object, {});
        ComPtr<IClassFactory> held = ComPtr<IClassFactory>::Adopt(factory);
        registrations.emplace_back(serverClass.clsid, held.Get());
    };
    publish(*identity.application, application);
    publish(*identity.control, control);
    try {
        publish(kControlClass, control);
    } catch (const ComError&) {
        // Another running host already answers the version-independent control class.
    }
}

}  // namespace

int RunHostServer(const ServerOptions& options, const HostIdentity& identity) {
    ComApartment apartment;
    ScriptApi api(static_cast<std::uint32_t>(identity.version));
    api.SetActiveView(options.activeView);
    api.SetLanguage(options.language);
    api.SetClock(SteadyMilliseconds);
    // Registered before any object is published, so no call arrives unfiltered.
    const BusyFilter busyFilter(api.Busy(), SteadyMilliseconds);
    if (!PrepareDocument(api, options)) {
        return 2;
    }

    CallLogFile logFile(options.logFile);
    MainWindow window(identity.title, WindowSources(api));
    api.SetWindowHandle(
        options.nullWindowHandle ? 0 : static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(window.Handle())));
    api.SetPickProvider(&window);
    api.SetDialogHandler([&window](std::optional<DialogKind> kind) {
        if (kind) {
            window.OpenDialogLater(*kind);
        } else {
            window.CloseDialog();
        }
    });
    if (options.dialog) {
        // Opens once the loop below runs, after the objects are published.
        window.OpenDialogLater(*options.dialog);
    }
    std::vector<ClassRegistration> registrations;
    ActiveObjectRegistration active;
    api.SetExitHandler([&] {
        logFile.Append(api.Log());
        logFile.Note("exit");
        // Wine keeps the class registrations of a process that ends without revoking them and
        // hands the dead entry to later creations; a host that ends revokes them first.
        registrations.clear();
        active.Revoke();
        ExitProcess(kFaultExitCode);
    });
    window.DocumentChanged();

    ComPtr<IDispatch> script = MakeObject<ScriptObject>(api, AfterEachCall(api, window, logFile));
    ComPtr<IDispatch> application = MakeObject<ApplicationObject>(
        api, script.Get(),
        ApplicationHooks{[&window] { return window.IsShown(); }, [&window](bool shown) { window.SetShown(shown); },
                         [&logFile](const std::string& line) { logFile.Note(line); }});
    ComPtr<IDispatch> control = MakeObject<ControlObject>(ControlHooksFor(api, window));

    if (!options.noClassObjects) {
        PublishClassObjects(identity, application.Get(), control.Get(), registrations);
    }
    active.Register(application.Get(), identity.application->clsid);
    if (!options.embedding) {
        window.SetShown(true);
    }
    RunMessageLoop();
    // Revoked before the objects are disconnected below.
    registrations.clear();
    active.Revoke();
    // Clients still holding references get RPC_E_DISCONNECTED instead of a dead stub.
    for (IDispatch* object : {application.Get(), script.Get(), control.Get()}) {
        (void)CoDisconnectObject(object, 0);
    }
    api.SetPickProvider(nullptr);
    api.SetDialogHandler(nullptr);
    control.Reset();
    application.Reset();
    script.Reset();
    return 0;
}

}  // namespace hostsim
