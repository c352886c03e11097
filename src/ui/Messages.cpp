#include "ui/Messages.h"

#include <cstdint>

#include "common/NumberText.h"

namespace ui {

std::string HostFailureMessage(const common::HostError& error) {
    std::string message = "Rhino could not complete " + error.Operation();
    if (!error.Description().empty()) {
        return message + ": " + error.Description();
    }
    // Without a description the error code is all the user can pass on.
    return message + " (error " + common::HexCodeText(static_cast<std::uint32_t>(error.Code())) + ").";
}

std::string WithLeftInHost(std::string message, const std::vector<std::string>& leftInHost) {
    if (leftInHost.empty()) {
        return message;
    }
    message += " Left in Rhino: ";
    for (std::size_t i = 0; i < leftInHost.size(); ++i) {
        message += (i == 0 ? "" : "; ") + leftInHost[i];
    }
    return message + ".";
}

std::string CommandFailureMessage(const std::string& description) {
    return "The command could not be completed: " + description;
}

}  // namespace ui
