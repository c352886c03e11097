#pragma once

#include <cstdint>
#include <memory>

#include "host/Dispatcher.h"

namespace host {

// The program-wide link to the host, written by start-up and held for the whole run. Both
// objects wait for a busy host (start-up wraps them in a host::PatientDispatcher).
// The program clears both objects itself before its COM apartment ends, never through a
// static destructor.
struct HostLink {
    // The host's application object, created from its ProgID; null when creation failed.
    std::unique_ptr<Dispatcher> HostApp;
    // The host's script object, on which every host operation is called; null when
    // start-up did not obtain it (the panel then runs unattached).
    std::unique_ptr<Dispatcher> RhinoScript;
    // The host's main window handle, 32-bit; 0 until read.
    std::int32_t HostWindow = 0;
    // The version chosen in the chooser: 0 none, 3 Rhino 3, 4 Rhino 4.
    std::int16_t HostVersion = 0;
};

}  // namespace host
