#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

// What the program was asked to do by its command line.
struct CommandLineOptions {
    enum class Action {
        RunPanel,    // the panel, as without switches
        CheckRhino,  // the check of the running Rhino, then end
        ShowHelp,    // the switches in a box, then end (exit code 0)
        Refuse,      // the switches in a box after `refusal`, then end (exit code 2)
    };
    Action action = Action::RunPanel;
    // File the log is appended to; empty for no log.
    std::string logPath;
    // File the check's report is written to; empty for the default in the temporary folder.
    std::string reportPath;
    // How long a busy Rhino is waited for, silently, before the user is asked.
    std::uint32_t busyPatienceMs = 10000;
    // Why the command line was refused (Action::Refuse), in one sentence.
    std::string refusal;
};

// The most milliseconds --busy-patience takes: one hour.
inline constexpr std::uint32_t kMaxBusyPatienceMs = 3'600'000;

// Reads the arguments after the program name (UTF-8): --log FILE, --check-rhino [FILE] (the
// next argument is its FILE unless it starts with "-" or "/"), --busy-patience MS (a whole
// number of milliseconds, 0 to kMaxBusyPatienceMs), --help and /?. An unknown switch, a switch
// without its value or a value it cannot read is refused; --help wins over everything else.
CommandLineOptions ParseCommandLine(const std::vector<std::string>& args);

// The text of the help box: one line per switch.
std::string_view HelpText();

}  // namespace ui
