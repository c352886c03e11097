#include "hostsim/server/Registration.h"

#include "hostsim/server/AutomationObject.h"
#include "hostsim/server/ComResource.h"
#include "hostsim/server/WideText.h"

namespace hostsim {

namespace {

class RegKey {
  public:
    RegKey() = default;
    ~RegKey() {
        if (key_) {
            RegCloseKey(key_);
        }
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY Get() const { return key_; }
    HKEY* Put() { return &key_; }

  private:
    HKEY key_ = nullptr;
};

std::wstring ClsidText(const CLSID& clsid) {
    wchar_t text[64] = {};
    if (StringFromGUID2(clsid, text, 64) == 0) {
        throw ComError("StringFromGUID2", E_UNEXPECTED);
    }
    return text;
}

void SetDefaultValue(HKEY root, const std::wstring& path, std::wstring_view name, std::wstring_view value) {
    RegKey key;
    const LSTATUS created = RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                                            key.Put(), nullptr);
    if (created != ERROR_SUCCESS) {
        throw ComError("RegCreateKeyExW " + WideToUtf8(path), HRESULT_FROM_WIN32(created));
    }
    const std::wstring data(value);
    const std::wstring valueName(name);
    const LSTATUS set = RegSetValueExW(key.Get(), valueName.empty() ? nullptr : valueName.c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(data.c_str()),
                                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    if (set != ERROR_SUCCESS) {
        throw ComError("RegSetValueExW", HRESULT_FROM_WIN32(set));
    }
}

std::optional<std::wstring> ReadDefaultValue(HKEY root, const std::wstring& path) {
    RegKey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    wchar_t buffer[2048] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    DWORD type = 0;
    const LSTATUS read = RegQueryValueExW(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    return std::wstring(buffer);
}

void WriteClass(HKEY root, const ServerClass& serverClass, const std::wstring& command) {
    const std::wstring base = L"Software\\Classes\\";
    const std::wstring clsid = ClsidText(serverClass.clsid);
    const std::wstring progIdKey = base + serverClass.progId;
    const std::wstring clsidKey = base + L"CLSID\\" + clsid;
    SetDefaultValue(root, progIdKey, L"", serverClass.description);
    SetDefaultValue(root, progIdKey + L"\\CLSID", L"", clsid);
    SetDefaultValue(root, clsidKey, L"", serverClass.description);
    SetDefaultValue(root, clsidKey + L"\\ProgID", L"", serverClass.progId);
    SetDefaultValue(root, clsidKey + L"\\LocalServer32", L"", command);
    if (serverClass.versionIndependentProgId != nullptr) {
        // The shared ProgID names the class registered last, as installing a newer version does.
        const std::wstring sharedKey = base + serverClass.versionIndependentProgId;
        SetDefaultValue(root, sharedKey, L"", serverClass.description);
        SetDefaultValue(root, sharedKey + L"\\CLSID", L"", clsid);
        SetDefaultValue(root, sharedKey + L"\\CurVer", L"", serverClass.progId);
        SetDefaultValue(root, clsidKey + L"\\VersionIndependentProgID", L"", serverClass.versionIndependentProgId);
    }
}

void DeleteClass(HKEY root, const ServerClass& serverClass, const std::wstring& command) {
    const std::wstring base = L"Software\\Classes\\";
    const std::wstring clsidKey = base + L"CLSID\\" + ClsidText(serverClass.clsid);
    const std::optional<std::wstring> registered = ReadDefaultValue(root, clsidKey + L"\\LocalServer32");
    if (!registered || !SameName(*registered, command)) {
        return;
    }
    // A key already gone is what unregistering wants; other failures leave a harmless entry.
    (void)RegDeleteTreeW(root, clsidKey.c_str());
    (void)RegDeleteKeyW(root, clsidKey.c_str());
    for (const wchar_t* progId : {serverClass.progId, serverClass.versionIndependentProgId}) {
        if (progId == nullptr) {
            continue;
        }
        // A shared ProgID that names another version's class stays.
        const std::wstring progIdKey = base + progId;
        const std::optional<std::wstring> progIdClsid = ReadDefaultValue(root, progIdKey + L"\\CLSID");
        if (progIdClsid && SameName(*progIdClsid, ClsidText(serverClass.clsid))) {
            (void)RegDeleteTreeW(root, progIdKey.c_str());
            (void)RegDeleteKeyW(root, progIdKey.c_str());
        }
    }
}

}  // namespace

std::wstring LocalServerCommand(std::wstring_view exePath) {
    return L"\"" + std::wstring(exePath) + L"\"";
}

void RegisterClasses(const std::vector<const ServerClass*>& classes, std::wstring_view exePath) {
    const std::wstring command = LocalServerCommand(exePath);
    for (const ServerClass* serverClass : classes) {
        WriteClass(HKEY_CURRENT_USER, *serverClass, command);
        const auto resolves = [&](const wchar_t* progId) {
            const std::optional<std::wstring> resolved = LocalServerOf(progId);
            return resolved && SameName(*resolved, command);
        };
        if (!resolves(serverClass->progId) ||
            (serverClass->versionIndependentProgId != nullptr && !resolves(serverClass->versionIndependentProgId))) {
            WriteClass(HKEY_LOCAL_MACHINE, *serverClass, command);
        }
    }
}

void UnregisterClasses(const std::vector<const ServerClass*>& classes, std::wstring_view exePath) {
    const std::wstring command = LocalServerCommand(exePath);
    for (const ServerClass* serverClass : classes) {
        DeleteClass(HKEY_CURRENT_USER, *serverClass, command);
        DeleteClass(HKEY_LOCAL_MACHINE, *serverClass, command);
    }
}

std::optional<std::wstring> LocalServerOf(std::wstring_view progId) {
    const std::wstring name(progId);
    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(name.c_str(), &clsid))) {
        return std::nullopt;
    }
    return ReadDefaultValue(HKEY_CLASSES_ROOT, L"CLSID\\" + ClsidText(clsid) + L"\\LocalServer32");
}

}  // namespace hostsim
