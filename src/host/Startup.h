#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/BusyPolicy.h"
#include "host/Dispatcher.h"
#include "host/HostLink.h"
#include "host/ModernHosts.h"

namespace host {

constexpr std::string_view kPanelTitle = "Curtate Cycloid curve V2 by Vendrel";
// The window class of the tool's windows, by which a second instance finds the first.
constexpr std::string_view kPanelWindowClass = "ThunderRT6FormDC";

constexpr std::string_view kNoHostMessage = "Rhin is not running!. Start Rhino then start the plug-in";
// The Rhino 3 route's messages for the steps after the creation; the ProgIDs, the creation
// message and the attempts of every version are in its RhinoVersionRow.
constexpr std::string_view kRhino3ScriptFailedMessage = "Failed to get the Rhino3 script object";
constexpr std::string_view kRhino3VisibleFailedMessage = "Failed to make Rhino3 visible";
constexpr std::string_view kRhino3WindowFailedMessage = "Failed to find the Rhino3 main window";
constexpr std::string_view kRhino3DockFailedMessage = "Failed to dock the panel into Rhino3";

// What start-up needs from the platform and the panel. Every method runs on the
// user-interface thread; modal ones return when their window has closed.
class StartupPlatform {
  public:
    virtual ~StartupPlatform() = default;

    // True when another instance of this program already runs (also when its panel is
    // docked and no longer a top-level window).
    virtual bool PreviousInstance() = 0;
    // The handle of a top-level window with exactly this class and title, or 0.
    virtual std::int32_t FindPanelWindow(std::string_view className, std::string_view title) = 0;
    virtual void SetPanelTitle(std::string_view title) = 0;
    // The census value of the running host processes.
    virtual std::int32_t CountHostProcesses() = 0;
    // The running Rhino.exe processes with the major version of each one's executable (other
    // processes may be listed too). Asked only when no Rhino 3 or Rhino 4 process runs.
    virtual std::vector<RunningExecutable> RunningModernHosts() = 0;
    // Shows the information box with `text`, modal and without an owner.
    virtual void ShowNoHostMessage(std::string_view text) = 0;
    // Shows the version chooser modally, owned by the panel, and returns the version it
    // left: 3, 4, or 0 when it closed without a choice.
    virtual std::int16_t ShowChooser() = 0;
    // Creates the host's application object; throws when it cannot be created.
    virtual std::unique_ptr<Dispatcher> CreateObject(std::string_view progId) = 0;
    // Whether `progId` names a class registered on this machine.
    virtual bool IsRegistered(std::string_view progId) = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // Handles the window messages already queued for this program's windows.
    virtual void LetPendingMessagesRun() = 0;
    // The system's standard message box: `text`, an OK button, no icon.
    virtual void ShowMessageBox(std::string_view text) = 0;
    // The id of the process that owns the window `window`, 0 when there is no such window.
    virtual std::uint32_t WindowProcessId(std::int32_t window) = 0;
    // Makes the panel topmost, keeping its position and size; throws when that fails.
    virtual void PlacePanelTopmost() = 0;
    // Docks the panel into `hostWindow`: makes the panel its child and asks for the host
    // window to come to the foreground. With 0 the panel stays top-level.
    virtual void Dock(std::int32_t hostWindow) = 0;
};

enum class StartupOutcome {
    EndProgram,  // end at once: another instance runs, no host runs, or no version was chosen
    ShowPanel,   // go on and show the panel, attached or not (see HostLink)
};

// Runs the start-up sequence once, before the panel is first shown: single-instance
// check, panel title, census, choice of host version, creation of the host's objects and
// docking. Writes the outcome into `link`, whose objects wait for a busy host through `busy`
// (host::PatientDispatcher), for start-up's calls and for the whole run. Start-up is one
// host::BusyPolicy::CommandScope: each call waits on its own, and after the user's Cancel the
// remaining calls share one budget without asking again.
//
// Rhino 4: every failing step after the creation is skipped; a failed creation shows the
// row's message and leaves the panel unattached; up to ten GetScriptObject attempts, each
// failure followed by a 500 ms pause.
// Rhino 5 and later, only when no Rhino 3 or Rhino 4 runs: the newest running version N,
// created from the first of its row's ProgIDs that is registered (the 32-bit program's first
// when no 64-bit process of N runs), then as Rhino 4, except that a failed creation's message
// is followed by the failure's description, and that the host window is read
// before the host is made visible and must belong to a counted process of N: when it does not
// (or cannot be read), the objects are released, the row's "could not be reached" message is
// shown, followed on a second line by the reason when a call failed (the call and the host's
// description, e.g. "GetScriptObject: Rhino is busy (0x8001010A)"), and the panel runs unattached.
// Rhino 3: one attempt per step; a failing step shows its message in the message box,
// and the panel runs unattached (no script object, HostWindow 0, not docked).
StartupOutcome RunStartup(StartupPlatform& platform, HostLink& link, BusyPolicy& busy);

}  // namespace host
