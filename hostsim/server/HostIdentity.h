#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "hostsim/server/WinInclude.h"

namespace hostsim {

// A COM class the server provides: its ProgID, CLSID and a readable name.
struct ServerClass {
    const wchar_t* progId;
    CLSID clsid;
    const wchar_t* description;
};

// The application classes, one per host version.
extern const ServerClass kRhino4Class;  // "Rhino4.Interface"
extern const ServerClass kRhino3Class;  // "Rhino3.Application"
// The test control object: "Hostsim.Control" (whichever server registered or started first)
// and one per version, "Hostsim.Control.4" and "Hostsim.Control.3", to reach a given host
// when both run.
extern const ServerClass kControlClass;
extern const ServerClass kControl4Class;
extern const ServerClass kControl3Class;

// Which host version a running server plays, decided by its executable's file name.
struct HostIdentity {
    int version = 4;
    const ServerClass* application = nullptr;
    const ServerClass* control = nullptr;
    // The main window's title, e.g. "Untitled - Rhinoceros 4.0 (simulated)".
    std::wstring title;

    // The classes the server registers, in registry and at start: application, version control,
    // generic control.
    std::vector<const ServerClass*> Classes() const;
};

// Rhino 3 for a file name "Rhino3.exe" (any case, any folder), Rhino 4 for anything else.
HostIdentity IdentityForExecutable(std::wstring_view exePath);

// This process's executable path (GetModuleFileNameW); throws ComError on failure.
std::wstring ExecutablePath();

}  // namespace hostsim
