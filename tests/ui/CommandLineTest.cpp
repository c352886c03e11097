#include "ui/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ui::CommandLineOptions;
using Action = CommandLineOptions::Action;

TEST(CommandLineTest, SwitchesAndTheirValues) {
    static const struct {
        const char* name;
        std::vector<std::string> args;
        Action action;
        const char* logPath;
        const char* reportPath;
        std::uint32_t busyPatienceMs;
        const char* refusal;
    } kCases[] = {
        {"none", {}, Action::RunPanel, "", "", 10000, ""},
        {"log", {"--log", "C:\\t\\c.log"}, Action::RunPanel, "C:\\t\\c.log", "", 10000, ""},
        {"check, default report", {"--check-rhino"}, Action::CheckRhino, "", "", 10000, ""},
        {"check with report and log",
         {"--check-rhino", "r.txt", "--log", "l.txt"},
         Action::CheckRhino,
         "l.txt",
         "r.txt",
         10000,
         ""},
        {"check, next is a switch", {"--check-rhino", "--log", "l.txt"}, Action::CheckRhino, "l.txt", "", 10000, ""},
        {"patience", {"--busy-patience", "2500"}, Action::RunPanel, "", "", 2500, ""},
        {"patience 0 asks at once", {"--busy-patience", "0"}, Action::RunPanel, "", "", 0, ""},
        {"patience an hour", {"--busy-patience", "3600000"}, Action::RunPanel, "", "", 3600000, ""},
        {"help", {"--help"}, Action::ShowHelp, "", "", 10000, ""},
        {"slash question mark", {"/?"}, Action::ShowHelp, "", "", 10000, ""},
        {"help beats a bad switch", {"--frobnicate", "/?"}, Action::ShowHelp, "", "", 10000, ""},
        {"unknown switch", {"--verbose"}, Action::Refuse, "", "", 10000, "Unknown switch: --verbose"},
        {"switches are case-sensitive", {"--LOG", "x"}, Action::Refuse, "", "", 10000, "Unknown switch: --LOG"},
        {"stray word", {"x.log"}, Action::Refuse, "", "", 10000, "Unknown switch: x.log"},
        {"log without file", {"--log"}, Action::Refuse, "", "", 10000, "--log needs the file to write to."},
        {"log followed by a switch",
         {"--log", "--check-rhino"},
         Action::Refuse,
         "",
         "",
         10000,
         "--log needs the file to write to."},
        {"patience over an hour",
         {"--busy-patience", "3600001"},
         Action::Refuse,
         "",
         "",
         10000,
         "--busy-patience needs a whole number of milliseconds from 0 to 3600000."},
        {"patience with unit",
         {"--busy-patience", "10s"},
         Action::Refuse,
         "",
         "",
         10000,
         "--busy-patience needs a whole number of milliseconds from 0 to 3600000."},
        {"patience negative",
         {"--busy-patience", "-5"},
         Action::Refuse,
         "",
         "",
         10000,
         "--busy-patience needs a whole number of milliseconds from 0 to 3600000."},
        {"first refusal is told", {"--x", "--y"}, Action::Refuse, "", "", 10000, "Unknown switch: --x"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const CommandLineOptions options = ui::ParseCommandLine(c.args);
        EXPECT_EQ(options.action, c.action);
        EXPECT_EQ(options.logPath, c.logPath);
        EXPECT_EQ(options.reportPath, c.reportPath);
        EXPECT_EQ(options.busyPatienceMs, c.busyPatienceMs);
        EXPECT_EQ(options.refusal, c.refusal);
    }
}

}  // namespace
