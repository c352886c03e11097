#include "hostsim/server/HostIdentity.h"

#include "hostsim/server/AutomationObject.h"
#include "hostsim/server/ComResource.h"

namespace hostsim {

// Fixed class ids of the simulated host; they differ only in the last group.
const ServerClass kRhino4Class{
    L"Rhino4.Interface",
    {0x4e0b2c61, 0x7a39, 0x4d1e, {0x9b, 0x8a, 0x5c, 0x2f, 0x11, 0xd3, 0xa4, 0x01}},
    L"Rhinoceros 4.0 Interface (simulated)"};
const ServerClass kRhino3Class{
    L"Rhino3.Application",
    {0x4e0b2c61, 0x7a39, 0x4d1e, {0x9b, 0x8a, 0x5c, 0x2f, 0x11, 0xd3, 0xa3, 0x01}},
    L"Rhinoceros 3.0 Application (simulated)"};
const ServerClass kControlClass{
    L"Hostsim.Control",
    {0x4e0b2c61, 0x7a39, 0x4d1e, {0x9b, 0x8a, 0x5c, 0x2f, 0x11, 0xd3, 0xc0, 0x00}},
    L"Simulated host test control"};
const ServerClass kControl4Class{
    L"Hostsim.Control.4",
    {0x4e0b2c61, 0x7a39, 0x4d1e, {0x9b, 0x8a, 0x5c, 0x2f, 0x11, 0xd3, 0xc0, 0x04}},
    L"Simulated host test control (Rhino 4)"};
const ServerClass kControl3Class{
    L"Hostsim.Control.3",
    {0x4e0b2c61, 0x7a39, 0x4d1e, {0x9b, 0x8a, 0x5c, 0x2f, 0x11, 0xd3, 0xc0, 0x03}},
    L"Simulated host test control (Rhino 3)"};

std::vector<const ServerClass*> HostIdentity::Classes() const {
    return {application, control, &kControlClass};
}

HostIdentity IdentityForExecutable(std::wstring_view exePath) {
    const std::size_t slash = exePath.find_last_of(L"\\/");
    const std::wstring_view fileName = slash == std::wstring_view::npos ? exePath : exePath.substr(slash + 1);
    HostIdentity identity;
    if (SameName(fileName, L"Rhino3.exe")) {
        identity.version = 3;
        identity.application = &kRhino3Class;
        identity.control = &kControl3Class;
        identity.title = L"Untitled - Rhinoceros 3.0 (simulated)";
    } else {
        identity.version = 4;
        identity.application = &kRhino4Class;
        identity.control = &kControl4Class;
        identity.title = L"Untitled - Rhinoceros 4.0 (simulated)";
    }
    return identity;
}

std::wstring ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        ThrowLastErrorIf(length == 0, "GetModuleFileNameW");
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace hostsim
