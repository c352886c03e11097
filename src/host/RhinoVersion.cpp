#include "host/RhinoVersion.h"

#include "common/NumberText.h"

namespace host {

namespace {

constexpr int kScriptAttempts = 10;
constexpr std::uint32_t kRetryPauseMs = 500;

}  // namespace

RhinoVersion RhinoVersionRow(int number) {
    const std::string numberText = common::IntegerText(number);
    RhinoVersion row;
    row.number = number;
    row.createFailedMessage = "Failed to create Rhino" + numberText + " object";
    row.notReachedMessage = "The running Rhino " + numberText + " could not be reached; the panel runs unattached.";
    row.scriptAttempts = kScriptAttempts;
    row.retryPauseMs = kRetryPauseMs;
    switch (number) {
        case 3:
            row.progIds = {"Rhino3.Application"};
            row.scriptAttempts = 1;
            row.retryPauseMs = 0;
            break;
        case 4:
            row.progIds = {"Rhino4.Interface"};
            break;
        case 5:
            row.progIds = {"Rhino5x64.Interface", "Rhino5.Interface"};
            row.progId32Bit = "Rhino5.Interface";
            break;
        default:
            row.progIds = {"Rhino.Interface." + numberText, "Rhino.Interface"};
            break;
    }
    return row;
}

}  // namespace host
