#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hostsim/server/HostIdentity.h"

namespace hostsim {

// The LocalServer32 command written for an executable: its path in double quotes (COM appends
// " -Embedding" when it starts the server).
std::wstring LocalServerCommand(std::wstring_view exePath);

// Registers each class for the current user (HKCU\Software\Classes: ProgID -> CLSID, CLSID ->
// ProgID and LocalServer32 = LocalServerCommand(exePath); a version-independent ProgID -> CLSID
// and CurVer, replacing what it named before). Where the ProgID does not then
// resolve to that command through HKEY_CLASSES_ROOT (Wine does not merge the per-user classes
// into it), writes the same keys under HKLM\Software\Classes too. Throws ComError when a key
// cannot be written.
void RegisterClasses(const std::vector<const ServerClass*>& classes, std::wstring_view exePath);

// Removes, from both the per-user and the machine classes, the entries of each class whose
// LocalServer32 names exePath, with its ProgIDs where they still name it; entries left by
// another executable stay. Missing keys are not
// an error.
void UnregisterClasses(const std::vector<const ServerClass*>& classes, std::wstring_view exePath);

// The LocalServer32 command that creation by this ProgID would start (CLSIDFromProgID, then
// HKEY_CLASSES_ROOT\CLSID\{...}\LocalServer32); nothing when the ProgID does not resolve.
std::optional<std::wstring> LocalServerOf(std::wstring_view progId);

}  // namespace hostsim
