#include "host/Startup.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/BestEffort.h"
#include "common/HostError.h"
#include "common/HostValue.h"
#include "common/NumberText.h"
#include "host/Census.h"
#include "host/HostScript.h"
#include "host/ModernHosts.h"
#include "host/PatientDispatcher.h"
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

// Runs `step` as common::RunBestEffort does and returns why it failed, in the user's words: the
// failed call and the host's description ("GetScriptObject: Rhino is busy (0x8001010A)"), or
// the failure's own description; nothing when the step ran through.
template <typename Step>
std::optional<std::string> FailureOf(Step&& step) {
    try {
        std::forward<Step>(step)();
        return std::nullopt;
    } catch (const common::HostError& error) {
        // Without a description the error code is all the user can pass on.
        return error.Operation() + ": " +
               (error.Description().empty() ? "error " + common::HexCodeText(static_cast<std::uint32_t>(error.Code()))
                                            : error.Description());
    } catch (const std::exception& error) {
        return std::string(error.what());
    } catch (...) {
        return std::string("an unknown failure");
    }
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
// failure followed by the row's pause (none when it has none). Nothing when a call succeeded,
// else why the last attempt failed (FailureOf).
std::optional<std::string> ObtainScriptObject(StartupPlatform& platform, HostLink& link, const RhinoVersion& version) {
    std::optional<std::string> failure = std::string("no attempt");
    for (int attempt = 0; attempt < version.scriptAttempts; ++attempt) {
        failure = FailureOf([&] { link.RhinoScript = link.HostApp->CallForObject("GetScriptObject"); });
        if (!failure) {
            return std::nullopt;
        }
        if (version.retryPauseMs > 0) {
            platform.Sleep(version.retryPauseMs);
        }
    }
    return failure;
}

// Creates the application object as the version's row says, its calls waited for by `busy`.
// False, after the row's message, when it cannot be created; with `tellWhy` the failure's own
// words follow the message.
bool CreateApplication(StartupPlatform& platform,
                       BusyPolicy& busy,
                       HostLink& link,
                       const RhinoVersion& version,
                       const std::vector<std::string>& progIds,
                       bool tellWhy) {
    std::unique_ptr<Dispatcher> created;
    const std::optional<std::string> failure =
        common::RunBestEffortTellingWhy([&] { created = CreateFromFirstRegistered(platform, progIds); });
    if (failure || !created) {
        std::string message = version.createFailedMessage;
        if (tellWhy && failure && !failure->empty()) {
            message += "\n\n" + *failure;
        }
        platform.ShowMessageBox(message);
        return false;
    }
    link.HostApp = MakePatient(std::move(created), busy);
    return true;
}

void PlaceAndDock(StartupPlatform& platform, HostLink& link) {
    (void)common::RunBestEffort([&] { platform.PlacePanelTopmost(); });
    (void)common::RunBestEffort([&] { platform.Dock(link.HostWindow); });
}

// The Rhino 4 route: every failing step after the creation is skipped.
void AttachToRhino4(StartupPlatform& platform, BusyPolicy& busy, HostLink& link) {
    const RhinoVersion version = RhinoVersionRow(4);
    // Rhino 4 keeps its message as it is, without the reason.
    if (!CreateApplication(platform, busy, link, version, version.progIds, false)) {
        return;
    }
    (void)ObtainScriptObject(platform, link, version);
    (void)common::RunBestEffort([&] { MakeVisible(*link.HostApp); });
    (void)common::RunBestEffort([&] { link.HostWindow = ReadHostWindow(link); });
    PlaceAndDock(platform, link);
}

// The route of Rhino 5 and later: as Rhino 4, but the ProgID of the running program's bitness
// is tried first, and the object is kept only when its window belongs to a counted process of
// the version. Otherwise COM started another copy of Rhino, which is neither shown nor docked
// into but released, and the panel runs unattached; when a call failed on the way, its reason
// follows the message on a second line.
void AttachToModern(StartupPlatform& platform,
                    BusyPolicy& busy,
                    HostLink& link,
                    const ModernCensus& census,
                    int number) {
    const RhinoVersion version = RhinoVersionRow(number);
    std::vector<std::string> progIds = version.progIds;
    if (!version.progId32Bit.empty() && !census.Runs64Bit(number)) {
        const auto own = std::find(progIds.begin(), progIds.end(), version.progId32Bit);
        std::rotate(progIds.begin(), own, own + 1);
    }
    if (!CreateApplication(platform, busy, link, version, progIds, true)) {
        return;
    }
    std::optional<std::string> failure = ObtainScriptObject(platform, link, version);
    std::int32_t hostWindow = 0;
    if (!failure) {
        failure = FailureOf([&] { hostWindow = ReadHostWindow(link); });
    }
    if (hostWindow == 0 || !census.Counts(number, platform.WindowProcessId(hostWindow))) {
        link.RhinoScript.reset();
        link.HostApp.reset();
        platform.ShowMessageBox(failure ? version.notReachedMessage + "\n" + *failure : version.notReachedMessage);
        return;
    }
    link.HostWindow = hostWindow;
    (void)common::RunBestEffort([&] { MakeVisible(*link.HostApp); });
    PlaceAndDock(platform, link);
}

// The Rhino 3 route has a single attempt per step. A failing step is told to the user
// and the panel runs unattached: without a script object its commands report that no
// host is attached, rather than working on a host whose window the panel is not in.
void AttachToRhino3(StartupPlatform& platform, BusyPolicy& busy, HostLink& link) {
    const auto giveUp = [&](std::string_view message) {
        link.RhinoScript.reset();
        link.HostWindow = 0;
        platform.ShowMessageBox(message);
    };
    const RhinoVersion version = RhinoVersionRow(3);
    std::unique_ptr<Dispatcher> created;
    if (!common::RunBestEffort([&] { created = platform.CreateObject(version.progIds.front()); }) || !created) {
        giveUp(version.createFailedMessage);
        return;
    }
    link.HostApp = MakePatient(std::move(created), busy);
    platform.LetPendingMessagesRun();
    if (ObtainScriptObject(platform, link, version) || !link.RhinoScript) {
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

StartupOutcome RunStartup(StartupPlatform& platform, HostLink& link, BusyPolicy& busy) {
    // Start-up is one command: each host call waits by the busy rule, and the user is asked
    // about a busy host until the first Cancel, after which the rest shares one budget.
    const BusyPolicy::CommandScope command(busy);

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
    ModernCensus modernCensus;
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
        modernCensus = CountModernHosts(platform.RunningModernHosts());
        if (modernCensus.Newest() == 0) {
            platform.ShowNoHostMessage(kNoHostMessage);
            return StartupOutcome::EndProgram;
        }
        route = Route::Modern;
    }

    if (route == Route::Rhino4) {
        AttachToRhino4(platform, busy, link);
    } else if (route == Route::Modern) {
        AttachToModern(platform, busy, link, modernCensus, modernCensus.Newest());
    } else {
        AttachToRhino3(platform, busy, link);
    }
    return StartupOutcome::ShowPanel;
}

}  // namespace host
