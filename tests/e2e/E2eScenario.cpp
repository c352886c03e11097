#include "E2eScenario.h"

#include <cstdlib>
#include <stdexcept>

namespace e2e {

using namespace driver;

const E2ePaths& BuildPaths() {
    static const E2ePaths paths = [] {
        E2ePaths built{HOSTSIM_EXE_PATH, CURTATE_EXE_PATH, E2E_WORK_DIR, E2E_SCENE_DIR, E2E_FAILURE_DIR, {}};
        // Another curtate.exe to drive instead of the build's: the installed one when the
        // package is tested as a user would use it.
        if (const char* tool = std::getenv("CURTATE_E2E_TOOL"); tool != nullptr && *tool != '\0') {
            built.curtateExe = tool;
        }
        // Another hostsim.exe to copy as the hosts: the 32-bit one beside the 64-bit tool, as
        // Rhino 3 and 4, 32-bit programs, run beside it on 64-bit Windows.
        if (const char* host = std::getenv("CURTATE_E2E_HOST"); host != nullptr && *host != '\0') {
            built.hostsimExe = host;
        }
        // The 32-bit build's simulated host, to play a 32-bit Rhino beside 64-bit ones.
        if (const char* host = std::getenv("CURTATE_E2E_HOSTSIM32"); host != nullptr) {
            built.hostsim32Exe = host;
        }
        return built;
    }();
    return paths;
}

void E2eScenario::SetUp() {
    apartment_ = std::make_unique<win32::ComApartment>();
}

void E2eScenario::TearDown() {
    if (HasFailure() && session_) {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string folder = session_->SaveArtifacts(std::string(info->test_suite_name()) + "." + info->name());
        std::printf("[ failure  ] screenshot, call log, document and panel state kept in %s\n", folder.c_str());
    }
    session_.reset();
    apartment_.reset();
}

Session& E2eScenario::Start(const HostOptions& options) {
    session_.reset();
    session_ = std::make_unique<Session>(BuildPaths(), options);
    return *session_;
}

std::vector<std::string> E2eScenario::Operations() {
    return OperationsOf(session_->Calls());
}

HostOptions WithScene(const std::string& scene, std::vector<std::string> controlLines, bool nullWindowHandle) {
    HostOptions options;
    options.scene = scene;
    options.controlLines = std::move(controlLines);
    options.nullWindowHandle = nullWindowHandle;
    return options;
}

std::string Joined(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& w : words) {
        if (!out.empty()) {
            out += ' ';
        }
        out += w;
    }
    return out;
}

}  // namespace e2e
