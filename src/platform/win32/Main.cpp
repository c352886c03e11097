// The program's entry: one user-interface thread in a single-threaded COM apartment,
// the main panel, its load step and the message loop.
#include <exception>

#include "platform/win32/ComApartment.h"
#include "platform/win32/Form1.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/Win32Panel.h"
#include "platform/win32/WinInclude.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        const win32::ComApartment apartment;
        win32::Form1 form;
        win32::Win32Panel panel(form);
        form.SetGoneStep([] { ::PostQuitMessage(0); });

        // Start-up (single instance, census, chooser, host attachment, docking) runs here,
        // once, before the panel is first shown.
        form.SetLoadStep([] {});

        // The event router that runs the command handlers is set here: form.SetEvents(&router).

        if (!form.Show()) {
            return 0;
        }
        return win32::RunMessageLoop();
    } catch (const std::exception&) {
        // Nothing can be shown without a window; the exit code tells the failure.
        return 1;
    }
}
