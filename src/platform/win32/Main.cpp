// The program's entry: the command line; then one user-interface thread in a single-threaded
// COM apartment, the main panel, its load step and the message loop, or the check of the
// running Rhino.
#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include "host/BusyPolicy.h"
#include "host/HostLink.h"
#include "host/HostScript.h"
#include "host/Startup.h"
#include "platform/win32/app/BusyWait.h"
#include "platform/win32/app/ProgramArguments.h"
#include "platform/win32/app/RhinoCheckRun.h"
#include "platform/win32/app/RunLog.h"
#include "platform/win32/app/StartupPlatform.h"
#include "platform/win32/base/TextConversion.h"
#include "platform/win32/base/Win32Error.h"
#include "platform/win32/base/WinInclude.h"
#include "platform/win32/com/ComApartment.h"
#include "platform/win32/com/ComDispatcher.h"
#include "platform/win32/com/MessageFilter.h"
#include "platform/win32/windows/FatalError.h"
#include "platform/win32/windows/Form1.h"
#include "platform/win32/windows/MessageLoop.h"
#include "platform/win32/windows/SystemMessageBox.h"
#include "platform/win32/windows/WebLink.h"
#include "platform/win32/windows/Win32Panel.h"
#include "ui/CommandLine.h"
#include "ui/EventRouter.h"

namespace {

// The exit code of a command line the tool cannot carry out: an unknown switch, a missing
// value, a log file that cannot be opened.
constexpr int kRefusedExitCode = 2;

void ShowBox(const std::string& text) {
    win32::ShowSystemMessageBox(win32::Utf8ToWide(text).c_str(), L"Curtate", 0);
}

// The panel docked into Rhino, until it is closed. A busy Rhino is waited for `busyPatienceMs`
// before the user is asked.
int RunPanel(win32::RunLog& runLog, std::uint32_t busyPatienceMs) {
    win32::Form1 form;
    win32::Win32Panel panel(form);
    form.SetGoneStep([] { ::PostQuitMessage(0); });
    // The program-wide host link that start-up fills and that is held for the whole run.
    host::HostLink link;

    // One rule for a busy host, registered with COM before the first call to it and
    // applied again by the call layer below (Wine's COM does not consult the filter).
    win32::BusyWait busyWait(form.Hwnd());
    host::BusyPolicy busyPolicy(runLog.Observe(busyWait), busyPatienceMs);
    const win32::MessageFilter messageFilter(busyPolicy);

    // Start-up (single instance, census, chooser, host attachment, docking) runs here,
    // once, before the panel is first shown. The platform holds the instance marker
    // for the whole run. Ending the program at once is destroying the unshown panel.
    win32::ComObjectCreator creator;
    win32::StartupPlatform startupPlatform(form.Hwnd(), creator);
    form.SetLoadStep([&] {
        if (host::RunStartup(runLog.Observe(startupPlatform), link, busyPolicy) == host::StartupOutcome::EndProgram) {
            form.Destroy();
        }
    });

    if (!form.Show()) {
        return 0;
    }

    // The command handlers run through the router, on the script object start-up
    // obtained (it waits for a busy host); without one, every command that needs the host
    // says so.
    host::HostScript script(link.RhinoScript.get());
    ui::EventRouter router(
        script, panel, [&form] { win32::OpenWebPage(form.Hwnd()); }, &busyPolicy);
    form.SetEvents(&router);
    const int exitCode = win32::RunMessageLoop();
    form.SetEvents(nullptr);
    // COM references held for the run are cleared before the apartment ends.
    link.RhinoScript.reset();
    link.HostApp.reset();
    return exitCode;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        const ui::CommandLineOptions options = ui::ParseCommandLine(win32::ProgramArguments());
        if (options.action == ui::CommandLineOptions::Action::ShowHelp) {
            ShowBox(std::string(ui::HelpText()));
            return 0;
        }
        if (options.action == ui::CommandLineOptions::Action::Refuse) {
            ShowBox(options.refusal + "\n\n" + std::string(ui::HelpText()));
            return kRefusedExitCode;
        }
        std::unique_ptr<win32::RunLog> runLog;
        try {
            runLog = std::make_unique<win32::RunLog>(options.logPath);
        } catch (const win32::Win32Error& error) {
            ShowBox("Curtate cannot open the log file " + options.logPath + ":\n" + win32::SystemMessage(error.Code()));
            return kRefusedExitCode;
        }
        if (host::EventLog* log = runLog->Log()) {
            log->Write(options.action == ui::CommandLineOptions::Action::CheckRhino
                           ? "Curtate: check of the running Rhino"
                           : "Curtate: panel");
        }
        const win32::ComApartment apartment;
        if (options.action == ui::CommandLineOptions::Action::CheckRhino) {
            return win32::RunRhinoCheck(options.reportPath, *runLog, options.busyPatienceMs);
        }
        return RunPanel(*runLog, options.busyPatienceMs);
    } catch (const std::exception& error) {
        return win32::ReportFatalError(error);
    }
}
