#include "hostsim/server/HostIdentity.h"

#include <functional>
#include <map>
#include <memory>

#include <winver.h>

#include "hostsim/server/AutomationObject.h"
#include "hostsim/server/ComResource.h"

namespace hostsim {

// Fixed class ids of the simulated host; they differ only in the last group.
const ServerClass kRhino4Class{L"Rhino4.Interface",
                               {0x4e0b2c61, 0x7a39, 0x4d1e, {0x9b, 0x8a, 0x5c, 0x2f, 0x11, 0xd3, 0xa4, 0x01}},
                               L"Rhinoceros 4.0 Interface (simulated)"};
const ServerClass kRhino3Class{L"Rhino3.Application",
                               {0x4e0b2c61, 0x7a39, 0x4d1e, {0x9b, 0x8a, 0x5c, 0x2f, 0x11, 0xd3, 0xa3, 0x01}},
                               L"Rhinoceros 3.0 Application (simulated)"};
const ServerClass kControlClass{L"Hostsim.Control",
                                {0x4e0b2c61, 0x7a39, 0x4d1e, {0x9b, 0x8a, 0x5c, 0x2f, 0x11, 0xd3, 0xc0, 0x00}},
                                L"Simulated host test control"};
const ServerClass kControl4Class{L"Hostsim.Control.4",
                                 {0x4e0b2c61, 0x7a39, 0x4d1e, {0x9b, 0x8a, 0x5c, 0x2f, 0x11, 0xd3, 0xc0, 0x04}},
                                 L"Simulated host test control (Rhino 4)"};
const ServerClass kControl3Class{L"Hostsim.Control.3",
                                 {0x4e0b2c61, 0x7a39, 0x4d1e, {0x9b, 0x8a, 0x5c, 0x2f, 0x11, 0xd3, 0xc0, 0x03}},
                                 L"Simulated host test control (Rhino 3)"};

namespace {

constexpr int kOldestModernVersion = 5;

// A class made at run time, with the texts its ServerClass points at.
struct MadeClass {
    std::wstring progId;
    std::wstring versionIndependentProgId;
    std::wstring description;
    ServerClass serverClass{};
};

// The class ids of the made classes differ from the fixed ones in the last two bytes: 0xB0 and
// the version for the application, 0xC0 and the version for the control (as Hostsim.Control.4).
CLSID MadeClassId(unsigned char kind, int version) {
    CLSID clsid = kRhino4Class.clsid;
    clsid.Data4[6] = kind;
    clsid.Data4[7] = static_cast<unsigned char>(version);
    return clsid;
}

// The class of `version` in `made`, made by `fill` when it is not there yet.
const ServerClass& FindOrMake(std::map<int, std::unique_ptr<MadeClass>>& made,
                              int version,
                              const std::function<void(MadeClass&)>& fill) {
    std::unique_ptr<MadeClass>& entry = made[version];
    if (!entry) {
        entry = std::make_unique<MadeClass>();
        fill(*entry);
        entry->serverClass.progId = entry->progId.c_str();
        entry->serverClass.description = entry->description.c_str();
        entry->serverClass.versionIndependentProgId =
            entry->versionIndependentProgId.empty() ? nullptr : entry->versionIndependentProgId.c_str();
    }
    return entry->serverClass;
}

}  // namespace

const ServerClass& ModernApplicationClass(int version) {
    static std::map<int, std::unique_ptr<MadeClass>> made;
    return FindOrMake(made, version, [version](MadeClass& c) {
        const std::wstring number = std::to_wstring(version);
        if (version == kOldestModernVersion) {
            // Rhino 5's 32-bit and 64-bit programs register classes of their own, so that both
            // can be installed side by side on 64-bit Windows.
            c.progId = sizeof(void*) == 4 ? L"Rhino5.Interface" : L"Rhino5x64.Interface";
        } else {
            c.progId = L"Rhino.Interface." + number;
            c.versionIndependentProgId = L"Rhino.Interface";
        }
        c.description = L"Rhinoceros " + number + L" Interface (simulated)";
        // 0xB3 for the class of Rhino 5's 32-bit program.
        c.serverClass.clsid = MadeClassId(version == kOldestModernVersion && sizeof(void*) == 4 ? 0xb3 : 0xb0, version);
    });
}

const ServerClass& ModernControlClass(int version) {
    static std::map<int, std::unique_ptr<MadeClass>> made;
    return FindOrMake(made, version, [version](MadeClass& c) {
        const std::wstring number = std::to_wstring(version);
        c.progId = L"Hostsim.Control." + number;
        c.description = L"Simulated host test control (Rhino " + number + L")";
        c.serverClass.clsid = MadeClassId(0xc0, version);
    });
}

std::vector<const ServerClass*> HostIdentity::Classes() const {
    return {application, control, &kControlClass};
}

HostIdentity IdentityForExecutable(std::wstring_view exePath, std::optional<int> majorVersion) {
    const std::size_t slash = exePath.find_last_of(L"\\/");
    const std::wstring_view fileName = slash == std::wstring_view::npos ? exePath : exePath.substr(slash + 1);
    HostIdentity identity;
    // The version is one byte of the made class ids.
    if (SameName(fileName, L"Rhino.exe") && majorVersion.value_or(0) >= kOldestModernVersion && *majorVersion <= 0xff) {
        identity.version = *majorVersion;
        identity.application = &ModernApplicationClass(identity.version);
        identity.control = &ModernControlClass(identity.version);
        identity.title = L"Untitled - Rhinoceros " + std::to_wstring(identity.version) + L" (simulated)";
    } else if (SameName(fileName, L"Rhino3.exe")) {
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

std::optional<int> ProductMajorVersion(const std::wstring& exePath) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(exePath.c_str(), &ignored);
    if (size == 0) {
        return std::nullopt;
    }
    std::vector<unsigned char> data(size);
    void* fixed = nullptr;
    UINT fixedBytes = 0;
    if (!GetFileVersionInfoW(exePath.c_str(), 0, size, data.data()) ||
        !VerQueryValueW(data.data(), L"\\", &fixed, &fixedBytes) || fixedBytes < sizeof(VS_FIXEDFILEINFO)) {
        return std::nullopt;
    }
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    if (info->dwSignature != VS_FFI_SIGNATURE) {
        return std::nullopt;
    }
    return static_cast<int>(HIWORD(info->dwProductVersionMS));
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
