#include "host/Startup.h"

#include <string>
#include <utility>
#include <vector>

#include "common/BestEffort.h"
#include "common/HostValue.h"
#include "host/Census.h"
#include "host/HostScript.h"
#include "host/ModernHosts.h"
#include "host/RhinoVersion.h"

namespace host {

namespace {

enum class Route { None, Rhino4, Rhino3, Modern };

void MakeVisible(Dispatcher& hostApp) {
    hostApp.Put("Visible", common::HostValue::Bool(true));
}

std::int32_t ReadHostWindow(HostLink& link) {
    return HostScript(link.RhinoScript.get()).WindowHandle();
}

// The application object from the first of `progIds` that names a registered class. The last
// one is created without asking first: when it names no class, its creation fails just the same.
std::unique_ptr<Dispatcher> CreateFromFirstRegistered(StartupPlatform& platform,
                                                      const std::vector<std::string>& progIds) {
    for (std::size_t i = 0; i + 1 < progIds.size(); ++i) {
        if (platform.IsRegistered(progIds[i])) {
            return platform.CreateObject(progIds[i]);
        }
    }
    return platform.CreateObject(progIds.back());
}

// Asks the application object for the script object as often as the version's row says, each
// failure followed by the row's pause (none when it has none). True when a call succeeded.
bool ObtainScriptObject(StartupPlatform& platform, HostLink& link, const RhinoVersion& version) {
    for (int attempt = 0; attempt < version.scriptAttempts; ++attempt) {
        if (common::RunBestEffort([&] { link.RhinoScript = link.HostApp->CallForObject("GetScriptObject"); })) {
            return true;
        }
        if (version.retryPauseMs > 0) {
            platform.Sleep(version.retryPauseMs);
        }
    }
    return false;
}

// The route of Rhino 4 and of every later version: every failing step after the creation is
// skipped.
void AttachWithRetries(StartupPlatform& platform, HostLink& link, const RhinoVersion& version) {
    if (!common::RunBestEffort([&] { link.HostApp = CreateFromFirstRegistered(platform, version.progIds); }) ||
        !link.HostApp) {
        platform.ShowMessageBox(version.createFailedMessage);
        return;
    }
    (void)ObtainScriptObject(platform, link, version);
    (void)common::RunBestEffort([&] { MakeVisible(*link.HostApp); });
    (void)common::RunBestEffort([&] { link.HostWindow = ReadHostWindow(link); });
    (void)common::RunBestEffort([&] { platform.PlacePanelTopmost(); });
    (void)common::RunBestEffort([&] { platform.Dock(link.HostWindow); });
}

// The Rhino 3 route has a single attempt per step. A failing step is told to the user
// and the panel runs unattached: without a script object its commands report that no
// host is attached, rather than working on a host whose window the panel is not in.
void AttachToRhino3(StartupPlatform& platform, HostLink& link) {
    const auto giveUp = [&](std::string_view message) {
        link.RhinoScript.reset();
        link.HostWindow = 0;
        platform.ShowMessageBox(message);
    };
    const RhinoVersion version = RhinoVersionRow(3);
    if (!common::RunBestEffort([&] { link.HostApp = platform.CreateObject(version.progIds.front()); }) ||
        !link.HostApp) {
        giveUp(version.createFailedMessage);
        return;
    }
    platform.LetPendingMessagesRun();
    if (!ObtainScriptObject(platform, link, version) || !link.RhinoScript) {
        giveUp(kRhino3ScriptFailedMessage);
        return;
    }
    if (!common::RunBestEffort([&] { MakeVisible(*link.HostApp); })) {
        giveUp(kRhino3VisibleFailedMessage);
        return;
    }
    std::int32_t hostWindow = 0;
    // A window handle of 0 names no window to dock into, so it counts as a failure too.
    if (!common::RunBestEffort([&] { hostWindow = ReadHostWindow(link); }) || hostWindow == 0) {
        giveUp(kRhino3WindowFailedMessage);
        return;
    }
    if (!common::RunBestEffort([&] { platform.PlacePanelTopmost(); })) {
        giveUp(kRhino3DockFailedMessage);
        return;
    }
    link.HostWindow = hostWindow;
    platform.Dock(link.HostWindow);
}

}  // namespace

StartupOutcome RunStartup(StartupPlatform& platform, HostLink& link) {
    // Both are asked every time: the named indication also finds a first instance whose
    // panel is docked, the window search one whose panel is still top-level. Any handle
    // counts, since a 32-bit handle above 0x7FFFFFFF reads as negative.
    const bool previousInstance = platform.PreviousInstance();
    const std::int32_t previousPanel = platform.FindPanelWindow(kPanelWindowClass, kPanelTitle);
    if (previousInstance || previousPanel != 0) {
        return StartupOutcome::EndProgram;
    }

    platform.SetPanelTitle(kPanelTitle);

    const DecodedCensus census = DecodeCensus(platform.CountHostProcesses());
    const bool rhino4Runs = census.rhino4 > 0;
    const bool rhino3Runs = census.rhino3 > 0;

    Route route = Route::None;
    int modernVersion = 0;
    if (rhino4Runs && rhino3Runs) {
        link.HostVersion = platform.ShowChooser();
        if (link.HostVersion == 4) {
            route = Route::Rhino4;
        } else if (link.HostVersion == 3) {
            route = Route::Rhino3;
        } else {
            // The chooser closed without a choice: the user declined to attach, so the
            // program ends as quietly as it would for a second instance.
            return StartupOutcome::EndProgram;
        }
    } else if (rhino4Runs) {
        route = Route::Rhino4;
    } else if (rhino3Runs) {
        route = Route::Rhino3;
    } else {
        // Rhino 5 and later are looked for only when no Rhino 3 or Rhino 4 runs.
        modernVersion = CountModernHosts(platform.RunningModernHosts()).Newest();
        if (modernVersion == 0) {
            platform.ShowNoHostMessage(kNoHostMessage);
            return StartupOutcome::EndProgram;
        }
        route = Route::Modern;
    }

    if (route == Route::Rhino4) {
        AttachWithRetries(platform, link, RhinoVersionRow(4));
    } else if (route == Route::Modern) {
        AttachWithRetries(platform, link, RhinoVersionRow(modernVersion));
    } else {
        AttachToRhino3(platform, link);
    }
    return StartupOutcome::ShowPanel;
}

}  // namespace host
