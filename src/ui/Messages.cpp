#include "ui/Messages.h"

#include <charconv>
#include <cstdint>

namespace ui {

std::string HostFailureMessage(const common::HostError& error) {
    std::string message = "Rhino could not complete " + error.Operation();
    if (!error.Description().empty()) {
        return message + ": " + error.Description();
    }
    // Without a description the error code is all the user can pass on; HRESULTs read in hex.
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::uint32_t>(error.Code()), 16);
    return message + " (error 0x" + std::string(buffer, result.ptr) + ").";
}

std::string CommandFailureMessage(const std::string& description) {
    return "The command could not be completed: " + description;
}

}  // namespace ui
