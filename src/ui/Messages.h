#pragma once

#include <string>
#include <vector>

#include "common/HostError.h"

namespace ui {

// Shown instead of running a command that needs the host when start-up obtained no script object.
inline constexpr char kNotAttachedMessage[] =
    "The tool is not attached to Rhino. Start Rhino, then start the tool again.";

// Shown when the host process has ended or stopped answering.
inline constexpr char kHostGoneMessage[] =
    "Rhino is no longer running, so the tool cannot reach it. Start Rhino, then start the tool again.";

// Shown when a command stopped because Rhino stayed busy and the user chose Cancel (or a
// clean-up call found it still busy).
inline constexpr char kHostBusyMessage[] =
    "Rhino is busy (a dialog box or a command may be open in Rhino), so the command was stopped. "
    "Finish what is open in Rhino, then try again.";

// Shown, followed by what was left, when a command ended without an error but could not undo
// everything it did in Rhino (a probe line Rhino did not delete).
inline constexpr char kLeftInHostMessage[] = "The command could not undo everything it did in Rhino.";

// The status label while a command's clean-up after the user's Cancel waits for a busy Rhino.
inline constexpr char kWaitingForHostCaption[] = "Waiting for Rhino...";

// Shown instead of running a command that makes Rhino do something while Rhino runs a command
// of the user's.
inline constexpr char kHostInCommandMessage[] =
    "Rhino is running a command. Finish it or press Esc in Rhino, then try again.";

// `message` followed by what the command could not undo in Rhino, e.g. "... Left in Rhino:
// the probe line <id>; redraw switched off ..."; `message` alone when nothing was left.
std::string WithLeftInHost(std::string message, const std::vector<std::string>& leftInHost);

// The information box text for a host operation that raised an error: names the operation and
// gives the host's own description (or its error code when it gave none), e.g.
// "Rhino could not complete AddLine: Invalid point."
std::string HostFailureMessage(const common::HostError& error);

// The information box text for any other failure of a command, with its description.
std::string CommandFailureMessage(const std::string& description);

}  // namespace ui
