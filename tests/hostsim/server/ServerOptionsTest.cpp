#include "hostsim/server/ServerOptions.h"

#include <gtest/gtest.h>

namespace hostsim {
namespace {

TEST(ServerOptionsTest, ReadsEverySwitch) {
    const ServerOptions options = ParseServerOptions(
        {L"-Embedding", L"--scene", L"C:\\s.txt", L"--control", L"fault raise AddLine 2", L"--control", L"pick cancel",
         L"--null-window-handle", L"--log", L"C:\\log.txt", L"--viewport", L"right", L"--language", L"de"});
    EXPECT_EQ(options.action, ServerOptions::Action::Run);
    EXPECT_TRUE(options.embedding);
    EXPECT_EQ(options.sceneFile, L"C:\\s.txt");
    EXPECT_EQ(options.controlLines, (std::vector<std::string>{"fault raise AddLine 2", "pick cancel"}));
    EXPECT_TRUE(options.nullWindowHandle);
    EXPECT_EQ(options.logFile, L"C:\\log.txt");
    EXPECT_EQ(options.activeView, ViewKind::Right);
    EXPECT_EQ(options.language, "de");
    // The switches that stand for control lines add them in order.
    const ServerOptions host = ParseServerOptions({L"--command", L"Rotate", L"--unknown", L"InCommand", L"--busy",
                                                   L"500", L"--unknown", L"LastCreatedObjects", L"--dialog", L"Runs",
                                                   L"--interpcrv", L"Degree=1 PersistentClose=Yes"});
    EXPECT_EQ(host.controlLines,
              (std::vector<std::string>{"command start Rotate", "unknown InCommand", "busy for 500",
                                        "unknown LastCreatedObjects", "interpcrv Degree=1 PersistentClose=Yes"}));
    EXPECT_EQ(host.dialog, DialogKind::Runs);
    const ServerOptions defaults = ParseServerOptions({});
    EXPECT_EQ(defaults.activeView, ViewKind::Top);
    EXPECT_EQ(defaults.language, "en");
    EXPECT_EQ(defaults.dialog, std::nullopt);
}

TEST(ServerOptionsTest, RegistrationSwitchesInAnySpelling) {
    const struct {
        const wchar_t* arg;
        ServerOptions::Action action;
        bool embedding;
    } kCases[] = {
        {L"/regserver", ServerOptions::Action::Register, false},
        {L"-RegServer", ServerOptions::Action::Register, false},
        {L"/UNREGSERVER", ServerOptions::Action::Unregister, false},
        {L"/Embedding", ServerOptions::Action::Run, true},
        {L"-embedding", ServerOptions::Action::Run, true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.arg, c.arg + wcslen(c.arg)));
        const ServerOptions options = ParseServerOptions({c.arg});
        EXPECT_EQ(options.action, c.action);
        EXPECT_EQ(options.embedding, c.embedding);
    }
}

TEST(ServerOptionsTest, RefusesUnknownSwitchesAndMissingValues) {
    const std::vector<std::vector<std::wstring>> kBad = {
        {L"--scene"},    {L"--log"},       {L"--control"},           {L"--sceen", L"x"},
        {L"regserver"},  {L"/regserverx"}, {L"--viewport", L"Side"}, {L"--language", L"german"},
        {L"--language"}, {L"--dialog"},    {L"--dialog", L"open"},
    };
    for (const auto& args : kBad) {
        SCOPED_TRACE(std::string(args[0].begin(), args[0].end()));
        EXPECT_THROW(ParseServerOptions(args), OptionsError);
    }
}

}  // namespace
}  // namespace hostsim
