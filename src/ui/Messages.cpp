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

std::string CommandFailureMessage(const std::string& description) {
    return "The command could not be completed: " + description;
}

}  // namespace ui
