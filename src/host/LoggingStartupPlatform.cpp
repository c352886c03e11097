#include "host/LoggingStartupPlatform.h"

#include <exception>
#include <string>

#include "common/NumberText.h"
#include "host/Census.h"
#include "host/LoggingDispatcher.h"

namespace host {

namespace {

std::string WindowText(std::int32_t window) {
    return common::HexCodeText(static_cast<std::uint32_t>(window));
}

}  // namespace

bool LoggingStartupPlatform::PreviousInstance() {
    const bool runs = inner_.PreviousInstance();
    if (runs) {
        log_.Write("start-up: another instance of the tool runs");
    }
    return runs;
}

std::int32_t LoggingStartupPlatform::FindPanelWindow(std::string_view className, std::string_view title) {
    const std::int32_t window = inner_.FindPanelWindow(className, title);
    if (window != 0) {
        log_.Write("start-up: the panel of another instance is window " + WindowText(window));
    }
    return window;
}

std::int32_t LoggingStartupPlatform::CountHostProcesses() {
    const std::int32_t value = inner_.CountHostProcesses();
    const DecodedCensus census = DecodeCensus(value);
    log_.Write("start-up: census " + std::to_string(value) + ": " + common::NumberText(census.rhino3) +
               " Rhino 3 and " + common::NumberText(census.rhino4) + " Rhino 4 processes (32-bit)");
    return value;
}

std::vector<RunningExecutable> LoggingStartupPlatform::RunningModernHosts() {
    std::vector<RunningExecutable> running = inner_.RunningModernHosts();
    std::size_t listed = 0;
    for (const RunningExecutable& process : running) {
        if (!IsModernHostExecutable(process.path)) {
            continue;
        }
        ++listed;
        log_.Write("start-up: process " + std::to_string(process.processId) + " " + process.path + ": version " +
                   (process.majorVersion ? std::to_string(*process.majorVersion) : std::string("unknown")) + ", " +
                   (process.is64Bit ? "64-bit" : "32-bit"));
    }
    if (listed == 0) {
        log_.Write("start-up: no Rhino.exe process runs");
    }
    return running;
}

void LoggingStartupPlatform::ShowNoHostMessage(std::string_view text) {
    log_.Write("start-up: no Rhino runs; shown: " + std::string(text));
    inner_.ShowNoHostMessage(text);
}

std::int16_t LoggingStartupPlatform::ShowChooser() {
    const std::int16_t version = inner_.ShowChooser();
    log_.Write(version == 0 ? std::string("start-up: the chooser closed without a choice")
                            : "start-up: the user chose Rhino " + std::to_string(version));
    return version;
}

std::unique_ptr<Dispatcher> LoggingStartupPlatform::CreateObject(std::string_view progId) {
    try {
        std::unique_ptr<Dispatcher> object = inner_.CreateObject(progId);
        log_.Write("start-up: created " + std::string(progId));
        return std::make_unique<LoggingDispatcher>(std::move(object), log_);
    } catch (const std::exception& error) {
        log_.Write("start-up: creating " + std::string(progId) + " failed: " + error.what());
        throw;
    }
}

bool LoggingStartupPlatform::IsRegistered(std::string_view progId) {
    const bool registered = inner_.IsRegistered(progId);
    log_.Write("start-up: " + std::string(progId) + (registered ? " is registered" : " is not registered"));
    return registered;
}

void LoggingStartupPlatform::ShowMessageBox(std::string_view text) {
    log_.Write("start-up: shown: " + std::string(text));
    inner_.ShowMessageBox(text);
}

std::uint32_t LoggingStartupPlatform::WindowProcessId(std::int32_t window) {
    const std::uint32_t processId = inner_.WindowProcessId(window);
    log_.Write("start-up: Rhino's window " + WindowText(window) + " belongs to process " + std::to_string(processId));
    return processId;
}

void LoggingStartupPlatform::Dock(std::int32_t hostWindow) {
    log_.Write(hostWindow == 0 ? std::string("start-up: the panel stays top-level, not docked")
                               : "start-up: docking the panel into Rhino's window " + WindowText(hostWindow));
    inner_.Dock(hostWindow);
}

}  // namespace host
