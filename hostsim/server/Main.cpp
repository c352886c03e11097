// hostsim.exe: the simulated host. Run as Rhino4.exe or Rhino3.exe it plays that version; run
// as Rhino.exe, the version of its own version resource.
#include <cstdio>

#include "hostsim/server/ComResource.h"
#include "hostsim/server/HostIdentity.h"
#include "hostsim/server/HostServer.h"
#include "hostsim/server/Registration.h"
#include "hostsim/server/ServerOptions.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        const hostsim::ServerOptions options = hostsim::ParseServerOptions(hostsim::ProcessArguments());
        const std::wstring exePath = hostsim::ExecutablePath();
        const hostsim::HostIdentity identity =
            hostsim::IdentityForExecutable(exePath, hostsim::ProductMajorVersion(exePath));
        switch (options.action) {
            case hostsim::ServerOptions::Action::Register: {
                hostsim::ComApartment apartment;
                hostsim::RegisterClasses(identity.Classes(), exePath);
                return 0;
            }
            case hostsim::ServerOptions::Action::Unregister: {
                hostsim::ComApartment apartment;
                hostsim::UnregisterClasses(identity.Classes(), exePath);
                return 0;
            }
            case hostsim::ServerOptions::Action::Run:
                return hostsim::RunHostServer(options, identity);
        }
    } catch (const std::exception& e) {
        std::fputs((std::string("hostsim: ") + e.what() + "\n").c_str(), stderr);
        return 1;
    }
    return 1;
}
