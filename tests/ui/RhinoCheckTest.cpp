#include "ui/RhinoCheck.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FakeBusyPlatform.h"
#include "FakeDispatcher.h"
#include "HostsimDispatcher.h"
#include "host/BusyPolicy.h"
#include "hostsim/model/Document.h"
#include "hostsim/model/ScriptApi.h"

namespace {

// Start-up's platform with one Rhino 4 running whose script object is the simulated host's, or
// none running.
class OneRhino4 : public host::StartupPlatform {
  public:
    explicit OneRhino4(hostsim::ScriptApi* api) : api_(api) {}

    bool PreviousInstance() override { return true; }  // the check must not ask
    std::int32_t FindPanelWindow(std::string_view, std::string_view) override { return 0; }
    void SetPanelTitle(std::string_view) override { ++panelTouched; }
    std::int32_t CountHostProcesses() override { return api_ ? 1000 : 0; }
    std::vector<host::RunningExecutable> RunningModernHosts() override { return {}; }
    void ShowNoHostMessage(std::string_view) override { ++shown; }
    std::int16_t ShowChooser() override { return 0; }
    std::unique_ptr<host::Dispatcher> CreateObject(std::string_view) override {
        auto app = std::make_unique<testing_support::FakeDispatcher>();
        app->QueueObject("GetScriptObject", std::make_unique<testing_support::HostsimDispatcher>(*api_));
        return app;
    }
    bool IsRegistered(std::string_view) override { return true; }
    void Sleep(std::uint32_t) override {}
    void LetPendingMessagesRun() override {}
    void ShowMessageBox(std::string_view) override { ++shown; }
    std::uint32_t WindowProcessId(std::int32_t) override { return 0; }
    void PlacePanelTopmost() override { ++panelTouched; }
    void Dock(std::int32_t) override { ++panelTouched; }

    int shown = 0;
    int panelTouched = 0;

  private:
    hostsim::ScriptApi* api_;
};

std::string LineOf(const ui::RhinoCheckReport& report, const std::string& subject) {
    for (const ui::CheckLine& line : report.lines) {
        if (line.subject.starts_with(subject)) {
            return line.subject + ": " + (line.asExpected ? "as expected" : "differs") + ": " + line.detail;
        }
    }
    return "no line " + subject;
}

// A Rhino with InterpCrv's defaults answers as expected throughout; one whose InterpCrv was left
// at degree 1 differs in the degree line only; with no Rhino nothing is checked. The test curve
// never stays, and the panel is neither titled, placed, docked nor any message shown.
TEST(RhinoCheckTest, ExitCodeAndLinesForEachKindOfRhino) {
    hostsim::ScriptApi api(5);
    api.Control("add point 9 9 9");
    OneRhino4 platform(&api);
    testing_support::FakeBusyPlatform busyPlatform;
    host::BusyPolicy busy(busyPlatform);
    const ui::RhinoCheckReport asIs = ui::CheckRhino(platform, busy);
    EXPECT_EQ(asIs.ExitCode(), 0) << asIs.Text();
    EXPECT_EQ(asIs.Summary(), "Rhino answered every question as Curtate expects.");
    EXPECT_EQ(LineOf(asIs, "Rhino"), "Rhino: as expected: Rhino 4, 32-bit, attached through Rhino4.Interface");
    EXPECT_EQ(LineOf(asIs, "Command"),
              "Command -_InterpCrv w1,2,0 w2.5,3,0 w4,2,5E-15 _Enter: as expected: Rhino answered Bool:true");
    EXPECT_EQ(LineOf(asIs, "CurveEndPoint"),
              "CurveEndPoint: as expected: Rhino answered A(R8:4,R8:2,R8:5e-15) (world 4,2,5e-15 expected)");
    EXPECT_EQ(LineOf(asIs, "UnitSystem"), "UnitSystem: as expected: Rhino answered I4:2 (millimeters)");
    EXPECT_EQ(api.Doc().Count(), 1u);
    EXPECT_EQ(platform.shown + platform.panelTouched, 0);

    api.Control("interpcrv Degree=1");
    const ui::RhinoCheckReport degreeOne = ui::CheckRhino(platform, busy);
    EXPECT_EQ(degreeOne.ExitCode(), 1);
    EXPECT_EQ(LineOf(degreeOne, "CurveDegree"),
              "CurveDegree: differs: Rhino answered I4:1 (3 expected: InterpCrv's option Degree was changed)");
    EXPECT_EQ(degreeOne.Summary(), "Rhino answered differently than Curtate expects: CurveDegree.");
    EXPECT_EQ(api.Doc().Count(), 1u);

    OneRhino4 none(nullptr);
    const ui::RhinoCheckReport unreached = ui::CheckRhino(none, busy);
    EXPECT_EQ(unreached.ExitCode(), 2);
    EXPECT_EQ(unreached.Summary(), "No Rhino could be reached.");
    EXPECT_EQ(unreached.Text(),
              "Curtate: check of the running Rhino\n\n"
              "start-up: differs: Rhin is not running!. Start Rhino then start the plug-in\n");
}

}  // namespace
