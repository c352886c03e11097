// The program's entry: one user-interface thread in a single-threaded COM apartment,
// the main panel, its load step and the message loop.
#include <exception>

#include "host/BusyPolicy.h"
#include "host/HostLink.h"
#include "host/HostScript.h"
#include "host/Startup.h"
#include "platform/win32/app/BusyWait.h"
#include "platform/win32/app/StartupPlatform.h"
#include "platform/win32/base/WinInclude.h"
#include "platform/win32/com/ComApartment.h"
#include "platform/win32/com/ComDispatcher.h"
#include "platform/win32/com/MessageFilter.h"
#include "platform/win32/windows/FatalError.h"
#include "platform/win32/windows/Form1.h"
#include "platform/win32/windows/MessageLoop.h"
#include "platform/win32/windows/WebLink.h"
#include "platform/win32/windows/Win32Panel.h"
#include "ui/EventRouter.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        const win32::ComApartment apartment;
        win32::Form1 form;
        win32::Win32Panel panel(form);
        form.SetGoneStep([] { ::PostQuitMessage(0); });
        // The program-wide host link that start-up fills and that is held for the whole run.
        host::HostLink link;

        // One rule for a busy host, registered with COM before the first call to it and
        // applied again by the call layer below (Wine's COM does not consult the filter).
        win32::BusyWait busyWait(form.Hwnd());
        host::BusyPolicy busyPolicy(busyWait);
        const win32::MessageFilter messageFilter(busyPolicy);

        // Start-up (single instance, census, chooser, host attachment, docking) runs here,
        // once, before the panel is first shown. The platform holds the instance marker
        // for the whole run. Ending the program at once is destroying the unshown panel.
        win32::ComObjectCreator creator;
        win32::StartupPlatform startupPlatform(form.Hwnd(), creator);
        form.SetLoadStep([&] {
            if (host::RunStartup(startupPlatform, link, busyPolicy) == host::StartupOutcome::EndProgram) {
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
    } catch (const std::exception& error) {
        return win32::ReportFatalError(error);
    }
}
