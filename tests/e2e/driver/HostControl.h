#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/win32/base/WinInclude.h"
#include "platform/win32/com/ComPtr.h"

namespace driver {

// A call on the control object that the simulated host refused (a bad control line, an
// unknown method); the message carries the host's description.
class HostControlError : public std::runtime_error {
  public:
    explicit HostControlError(const std::string& what) : std::runtime_error(what) {}
};

// The driver's side of the simulated host's test control object "Hostsim.Control": queues
// pick answers, injects faults, reads the call log and the document back. Late-bound through
// IDispatch, as any automation client would use it. The calling thread must have joined a
// COM apartment.
class HostControl {
  public:
    // Connects to the control object of the running simulated host that plays `version`
    // ("Hostsim.Control.4" or ".3"); 0 for whichever host answers "Hostsim.Control". Throws
    // HostControlError when there is none to connect to.
    static HostControl Connect(int version = 0);

    // Runs one control line ("pick <id>", "pick cancel", "add point 0 0 0", ...) and answers
    // its reply.
    std::string Control(const std::string& line);
    // Every automation call the host received so far, one line per call.
    std::string CallLog();
    // The document in the scene format, one line per object, "redraw on|off" first.
    std::string Document();
    void ClearLog();
    // Asks the host to close its main window and end.
    void Quit();

  private:
    std::string Call(const wchar_t* method, const std::optional<std::string>& argument);

    win32::ComPtr<IDispatch> dispatch_;
};

// Picks an object as a user does, with a click in a viewport of the host's main window:
// runs `startPick` (a click on a panel button that asks the host for a pick), waits until the
// host's pick has begun, asks the host where the object is drawn in the viewport `view`
// ("Right", ...) and posts a left click there. The click also makes that viewport the active
// one. Throws HostControlError when no pick begins within 20 s or the view does not show the
// object.
void PickWithClick(HostControl& control,
                   HWND hostWindow,
                   const std::function<void()>& startPick,
                   const std::string& id,
                   const std::string& view);

}  // namespace driver
