// The host process ending under the tool: in the middle of a generation run, while a pick
// waits in the host, and while the tool is idle. Each scenario runs as its own ctest entry
// between two restarts of the wineserver: a host that was killed leaves its class
// registration behind in Wine, and every later creation of the host's object in the same
// wineserver session would fail.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "E2eScenario.h"
#include "platform/win32/base/UniqueHandle.h"
#include "ui/Messages.h"

namespace e2e {
namespace {

using namespace driver;
using common::PanelControl;

constexpr DWORD kEndMs = 15000;

class HostGoneE2ETest : public E2eScenario {
  protected:
    // Starts the session and keeps a handle on the tool process, to read its exit code once
    // it has ended.
    void StartWatched(const HostOptions& options) {
        Start(options);
        tool_.Reset(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, S().ToolProcessId()));
        ASSERT_TRUE(tool_.IsValid());
        host_.Reset(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, S().Host().ProcessId()));
        ASSERT_TRUE(host_.IsValid());
    }

    // Lists the three points and picks the two plane curves of points.scene.
    void PrepareGeneration() {
        P().SetText(PanelControl::Text1, kXyCurveId);
        P().SetText(PanelControl::Text2, kYzCurveId);
        S().Click(PanelControl::Command1);
        ASSERT_EQ(P().ListRows().size(), 3u);
    }

    // Ends the host process at once, as a crash would.
    void KillHost() {
        ASSERT_TRUE(::TerminateProcess(host_.Get(), 9));
        ASSERT_TRUE(HostEnded());
    }

    bool HostEnded() { return ::WaitForSingleObject(host_.Get(), kEndMs) == WAIT_OBJECT_0; }

    // The tool's exit code once it has ended within `timeoutMs`; nothing while it runs on.
    std::optional<DWORD> ToolExit(DWORD timeoutMs) {
        if (::WaitForSingleObject(tool_.Get(), timeoutMs) != WAIT_OBJECT_0) {
            return std::nullopt;
        }
        DWORD code = 0;
        if (!::GetExitCodeProcess(tool_.Get(), &code)) {
            return std::nullopt;
        }
        return code;
    }

    // A top-level panel left by a host that has gone: the loss is reported once, every later
    // command that needs the host says so without calling it, and closing the panel ends the
    // tool cleanly.
    void ExpectHostGoneReportedThenCleanEnd() {
        EXPECT_EQ(S().AnswerInfoBox(), std::optional<std::string>(ui::kHostGoneMessage));
        EXPECT_FALSE(S().OpenInfoBox().has_value());
        EXPECT_TRUE(S().ToolRunning());
        for (const PanelControl button : {PanelControl::Command5, PanelControl::Command4}) {
            P().Click(button);
            EXPECT_EQ(S().AnswerInfoBox(), std::optional<std::string>(ui::kHostGoneMessage));
        }
        S().Click(PanelControl::Command3);
        EXPECT_FALSE(S().OpenInfoBox().has_value());
        EXPECT_TRUE(P().ListRows().empty());

        (void)::PostMessageW(P().Window(), WM_CLOSE, 0, 0);
        EXPECT_EQ(ToolExit(kEndMs), std::optional<DWORD>(0));
    }

    // A panel docked into the host's main window goes with that window; the tool then ends
    // by itself, with no box left waiting for a user.
    void ExpectDockedToolEnds() {
        EXPECT_EQ(ToolExit(kEndMs), std::optional<DWORD>(0)) << "the tool did not end after its host";
        EXPECT_FALSE(S().ToolRunning());
    }

    win32::UniqueProcessHandle tool_;
    win32::UniqueProcessHandle host_;
};

TEST_F(HostGoneE2ETest, HostEndingDuringAGenerationIsReportedByTheTopLevelPanel) {
    StartWatched(WithScene("points.scene", {}, /*nullWindowHandle=*/true));
    PrepareGeneration();
    // The host ends on the second point's first probe line.
    S().Control().Control("fault exit AddLine 3");
    P().Click(PanelControl::Command4);
    ASSERT_TRUE(HostEnded());
    ExpectHostGoneReportedThenCleanEnd();
}

TEST_F(HostGoneE2ETest, HostEndingDuringAGenerationEndsTheDockedTool) {
    StartWatched(WithScene("points.scene"));
    PrepareGeneration();
    // The host ends while it runs the command that draws the second curve.
    S().Control().Control("fault exit Command 2");
    P().Click(PanelControl::Command4);
    ASSERT_TRUE(HostEnded());
    ExpectDockedToolEnds();
}

TEST_F(HostGoneE2ETest, HostKilledWhileAPickWaitsIsReportedByTheTopLevelPanel) {
    StartWatched(WithScene("points.scene", {}, /*nullWindowHandle=*/true));
    S().Control().ClearLog();
    // No scripted answer: the pick waits in the host's viewport.
    P().Click(PanelControl::Command5);
    ASSERT_TRUE(WaitUntil([&] { return Operations() == std::vector<std::string>{"InCommand", "GetObject"}; }, kEndMs));
    KillHost();
    ExpectHostGoneReportedThenCleanEnd();
}

TEST_F(HostGoneE2ETest, HostKilledWhileAPickWaitsEndsTheDockedTool) {
    StartWatched(WithScene("points.scene"));
    S().Control().ClearLog();
    P().Click(PanelControl::Command6);
    ASSERT_TRUE(WaitUntil([&] { return Operations() == std::vector<std::string>{"InCommand", "GetObject"}; }, kEndMs));
    KillHost();
    ExpectDockedToolEnds();
}

TEST_F(HostGoneE2ETest, HostKilledWhileTheToolIsIdle) {
    StartWatched(WithScene("points.scene", {}, /*nullWindowHandle=*/true));
    S().Click(PanelControl::Command1);
    KillHost();
    // Nothing tells an idle tool; the next command that needs the host finds it gone.
    EXPECT_TRUE(S().ToolRunning());
    P().Click(PanelControl::Command8);
    ExpectHostGoneReportedThenCleanEnd();
}

TEST_F(HostGoneE2ETest, HostKilledWhileTheToolIsIdleEndsTheDockedTool) {
    StartWatched(WithScene("points.scene"));
    S().Click(PanelControl::Command1);
    KillHost();
    ExpectDockedToolEnds();
}

}  // namespace
}  // namespace e2e
