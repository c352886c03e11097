#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host {

// What start-up needs to attach to one Rhino version, for every route alike.
struct RhinoVersion {
    int number = 0;
    // The ProgIDs of the application object in the order they are tried: the first registered one
    // is created, the last one without asking.
    std::vector<std::string> progIds;
    // The one of them that only the version's 32-bit program registers, tried first when no
    // 64-bit process of the version runs; empty when its ProgIDs name no bitness.
    std::string progId32Bit;
    // Shown when the application object cannot be created: "Failed to create RhinoN object".
    std::string createFailedMessage;
    // Shown when the object created is not of a running process of the version (COM started
    // another copy): "The running Rhino N could not be reached; the panel runs unattached."
    std::string notReachedMessage;
    // How often the script object is asked for, and the pause after each failed attempt.
    int scriptAttempts = 1;
    std::uint32_t retryPauseMs = 0;
};

// The row of Rhino `number` (3 and up). Rhino 3: "Rhino3.Application", one attempt. Rhino 4:
// "Rhino4.Interface", ten attempts 500 ms apart, as every later version. Rhino 5:
// "Rhino5x64.Interface", then "Rhino5.Interface", which only its 32-bit program registers. Rhino 6 and later:
// "Rhino.Interface.N", then "Rhino.Interface", which every version shares.
RhinoVersion RhinoVersionRow(int number);

}  // namespace host
