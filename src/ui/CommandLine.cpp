#include "ui/CommandLine.h"

#include <charconv>

namespace ui {

namespace {

constexpr std::string_view kHelpText =
    "curtate.exe [--log FILE] [--busy-patience MS]\n"
    "    Docks the panel into the running Rhino.\n"
    "curtate.exe --check-rhino [FILE] [--log FILE]\n"
    "    Checks that the running Rhino answers as the tool expects: draws one small test curve,\n"
    "    reads it back and deletes it. Writes the report to FILE (default: curtate-check.txt in\n"
    "    the temporary folder). Exit code 0: as expected, 1: something differs, 2: no Rhino.\n"
    "\n"
    "--log FILE            append every start-up decision, call to Rhino and busy wait to FILE\n"
    "--busy-patience MS    milliseconds a busy Rhino is waited for before you are asked (10000)\n"
    "--help, /?            this text";

bool LooksLikeSwitch(std::string_view arg) {
    return !arg.empty() && (arg.front() == '-' || arg.front() == '/');
}

}  // namespace

CommandLineOptions ParseCommandLine(const std::vector<std::string>& args) {
    CommandLineOptions options;
    const auto refuse = [&](std::string why) {
        if (options.refusal.empty()) {
            options.refusal = std::move(why);
        }
    };
    bool help = false;
    bool check = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size() && !LooksLikeSwitch(args[i + 1]);
        if (arg == "--help" || arg == "/?") {
            help = true;
        } else if (arg == "--log") {
            if (!hasValue) {
                refuse("--log needs the file to write to.");
                continue;
            }
            options.logPath = args[++i];
        } else if (arg == "--check-rhino") {
            check = true;
            if (hasValue) {
                options.reportPath = args[++i];
            }
        } else if (arg == "--busy-patience") {
            std::uint32_t ms = 0;
            const std::string* value = hasValue ? &args[++i] : nullptr;
            const char* end = value ? value->data() + value->size() : nullptr;
            if (value == nullptr || std::from_chars(value->data(), end, ms).ptr != end || value->empty() ||
                ms > kMaxBusyPatienceMs) {
                refuse("--busy-patience needs a whole number of milliseconds from 0 to 3600000.");
                continue;
            }
            options.busyPatienceMs = ms;
        } else {
            refuse("Unknown switch: " + arg);
        }
    }
    if (help) {
        options.action = CommandLineOptions::Action::ShowHelp;
        options.refusal.clear();
    } else if (!options.refusal.empty()) {
        options.action = CommandLineOptions::Action::Refuse;
    } else if (check) {
        options.action = CommandLineOptions::Action::CheckRhino;
    }
    return options;
}

std::string_view HelpText() {
    return kHelpText;
}

}  // namespace ui
