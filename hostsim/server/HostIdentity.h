#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hostsim/server/WinInclude.h"

namespace hostsim {

// A COM class the server provides: its ProgID, CLSID and a readable name, and the ProgID shared by
// every version of the class, if it has one.
struct ServerClass {
    const wchar_t* progId;
    CLSID clsid;
    const wchar_t* description;
    const wchar_t* versionIndependentProgId = nullptr;
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

// The classes of Rhino `version` 5 and later: the application class "Rhino.Interface.N" (shared
// ProgID "Rhino.Interface"), for Rhino 5 "Rhino5x64.Interface" in a 64-bit build and
// "Rhino5.Interface" in a 32-bit one, and the control class
// "Hostsim.Control.N". Made when first asked for and kept for the whole process, as the fixed
// classes are.
const ServerClass& ModernApplicationClass(int version);
const ServerClass& ModernControlClass(int version);

// Which host version a running server plays, decided by its executable's file name and, for
// Rhino 5 and later, its version resource.
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

// File names compared in any case, in any folder: "Rhino3.exe" plays Rhino 3; "Rhino.exe" plays
// Rhino N for a major version N of 5 or more (`majorVersion`, read from its version resource);
// anything else, a Rhino.exe without a version resource included, plays Rhino 4.
HostIdentity IdentityForExecutable(std::wstring_view exePath, std::optional<int> majorVersion = std::nullopt);

// The major product version of an executable's version resource (the high word of
// dwProductVersionMS); nothing when it has none.
std::optional<int> ProductMajorVersion(const std::wstring& exePath);

// This process's executable path (GetModuleFileNameW); throws ComError on failure.
std::wstring ExecutablePath();

}  // namespace hostsim
