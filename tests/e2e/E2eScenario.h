#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Session.h"
#include "platform/win32/com/ComApartment.h"

namespace e2e {

// Fixed ids of the scenes under tests/e2e/scenes, as the host writes them.
inline constexpr char kLineId[] = "11111111-1111-4111-8111-111111111111";
inline constexpr char kXyCurveId[] = "22222222-2222-4222-8222-222222222222";
inline constexpr char kYzCurveId[] = "33333333-3333-4333-8333-333333333333";
inline constexpr char kPoint1Id[] = "44444444-4444-4444-8444-000000000001";
inline constexpr char kPoint2Id[] = "44444444-4444-4444-8444-000000000002";
inline constexpr char kPoint3Id[] = "44444444-4444-4444-8444-000000000003";
// A curve of points.scene in neither world plane.
inline constexpr char kSpaceCurveId[] = "55555555-5555-4555-8555-555555555555";

inline constexpr char kNoIntersectionMessage[] =
    "No intersection found, make sure curve and points are cooplanar in XY and YZ";

// The programs and folders of this build, from the compile definitions.
const driver::E2ePaths& BuildPaths();

// Base of every scenario: joins a COM apartment, starts one session on demand, and when the
// scenario failed keeps its screenshot, call log, document and panel state under
// build/e2e-failures/<suite>.<test>/.
class E2eScenario : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the host with `options` and the tool beside it.
    driver::Session& Start(const driver::HostOptions& options);
    driver::Session& S() { return *session_; }
    driver::Panel& P() { return session_->GetPanel(); }

    // The operations of the call log since the last ClearLog.
    std::vector<std::string> Operations();

  private:
    std::unique_ptr<win32::ComApartment> apartment_;
    std::unique_ptr<driver::Session> session_;
};

// Host options for a scene file of tests/e2e/scenes, control lines run after it, and whether
// the host answers WindowHandle with 0 (the panel then stays a top-level window Wine draws).
driver::HostOptions WithScene(const std::string& scene,
                              std::vector<std::string> controlLines = {},
                              bool nullWindowHandle = false);

// Operation names joined by " " for readable comparisons.
std::string Joined(const std::vector<std::string>& words);

}  // namespace e2e
