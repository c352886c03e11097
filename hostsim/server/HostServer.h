#pragma once

#include "hostsim/server/HostIdentity.h"
#include "hostsim/server/ServerOptions.h"

namespace hostsim {

// Runs the simulated host until its main window closes (or Quit is called on the control
// object): loads the scene, runs the control lines, creates the main window (hidden when
// started by COM), registers the class objects of the played version and serves calls on this
// thread's message loop. Returns the process exit code: 0 after a normal end, 2 when the
// scene or a control line cannot be read (the reason is written to standard error).
int RunHostServer(const ServerOptions& options, const HostIdentity& identity);

}  // namespace hostsim
