// The real curtate.exe's switches beside the simulated host: --check-rhino against a Rhino as
// the tool expects it, one whose InterpCrv was left at degree 1, one without LastCreatedObjects
// and none at all; --help and an unknown switch; a log file that cannot be opened.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "E2eScenario.h"
#include "Session.h"
#include "platform/win32/com/ComApartment.h"

namespace {

using driver::ChildProcess;

constexpr DWORD kRunMs = 30000;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class RhinoCheckE2ETest : public ::testing::Test {
  protected:
    void SetUp() override { apartment_ = std::make_unique<win32::ComApartment>(); }
    void TearDown() override {
        host_.reset();
        apartment_.reset();
    }

    // What one run of the tool with `arguments` ended with: the text of the message box it
    // showed (closed with OK), and its exit code.
    struct Run {
        std::wstring box;
        std::optional<DWORD> exitCode;
    };
    Run RunTool(const std::vector<std::wstring>& arguments) {
        const ChildProcess tool = ChildProcess::Start(driver::WindowsPath(e2e::BuildPaths().curtateExe), arguments);
        Run run;
        HWND box = nullptr;
        (void)driver::WaitUntil(
            [&] {
                box = driver::FindSystemMessageBox(tool.Id());
                return box != nullptr || !tool.Running();
            },
            kRunMs);
        if (box != nullptr) {
            wchar_t text[2048] = {};
            (void)::GetDlgItemTextW(box, 0xFFFF, text, 2048);  // the message box's text control
            run.box = text;
            (void)::PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        run.exitCode = tool.WaitForExit(kRunMs);
        return run;
    }

    void StartHost(std::vector<std::string> controlLines) {
        driver::HostOptions options = e2e::WithScene("points.scene", std::move(controlLines));
        host_ = std::make_unique<driver::HostRun>(e2e::BuildPaths(), options);
    }

    static std::filesystem::path WorkFile(const std::string& name) {
        return std::filesystem::path(driver::WindowsPath(e2e::BuildPaths().workDir)) / name;
    }

    std::unique_ptr<driver::HostRun> host_;

  private:
    std::unique_ptr<win32::ComApartment> apartment_;
};

// One run per kind of Rhino: the exit code, the line that tells, and the test curve never left.
TEST_F(RhinoCheckE2ETest, CheckReportsEachKindOfRhino) {
    static const struct {
        const char* name;
        std::vector<std::string> controlLines;
        DWORD exitCode;
        const char* line;
    } kCases[] = {
        {"as expected", {}, 0, "CurveDegree: as expected: Rhino answered I4:3\r\n"},
        {"InterpCrv left at degree 1",
         {"interpcrv Degree=1"},
         1,
         "CurveDegree: differs: Rhino answered I4:1 (3 expected: InterpCrv's option Degree was changed)\r\n"},
        {"without LastCreatedObjects",
         {"unknown LastCreatedObjects"},
         1,
         "LastCreatedObjects: differs: unknown to this Rhino: 0x80020006"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        StartHost(c.controlLines);
        const std::string before = host_->Control().Document();
        const std::filesystem::path report = WorkFile("check-report.txt");
        std::filesystem::remove(report);
        const Run run = RunTool({L"--check-rhino", report.wstring()});
        EXPECT_EQ(run.exitCode, std::optional<DWORD>(c.exitCode));
        EXPECT_NE(run.box.find(L"The report: "), std::wstring::npos);
        const std::string text = ReadFile(report);
        EXPECT_NE(text.find(c.line), std::string::npos) << text;
        EXPECT_NE(text.find("Rhino: as expected: Rhino 4, 32-bit, attached through Rhino4.Interface\r\n"),
                  std::string::npos)
            << text;
        if (c.exitCode == 0) {
            EXPECT_EQ(text.find("differs"), std::string::npos) << text;
        }
        EXPECT_EQ(host_->Control().Document(), before) << "the test curve was left in the document";
        host_.reset();
    }
}

TEST_F(RhinoCheckE2ETest, CheckWithoutRhinoEndsWithTwo) {
    const std::filesystem::path report = WorkFile("check-no-rhino.txt");
    const Run run = RunTool({L"--check-rhino", report.wstring()});
    EXPECT_EQ(run.exitCode, std::optional<DWORD>(2));
    EXPECT_EQ(run.box.rfind(L"No Rhino could be reached.", 0), 0u);
}

// The switches' box: --help ends with 0, an unknown switch with 2, and a log file that cannot be
// opened is refused before anything is attached.
TEST_F(RhinoCheckE2ETest, HelpUnknownSwitchAndUnopenableLog) {
    const Run help = RunTool({L"/?"});
    EXPECT_EQ(help.exitCode, std::optional<DWORD>(0));
    EXPECT_NE(help.box.find(L"--check-rhino [FILE]"), std::wstring::npos);
    const Run unknown = RunTool({L"--verbose"});
    EXPECT_EQ(unknown.exitCode, std::optional<DWORD>(2));
    EXPECT_EQ(unknown.box.rfind(L"Unknown switch: --verbose\n\n", 0), 0u);
    StartHost({});
    host_->Control().Control("log clear");
    const Run log = RunTool({L"--log", (WorkFile("no-such-folder") / "curtate.log").wstring()});
    EXPECT_EQ(log.exitCode, std::optional<DWORD>(2));
    EXPECT_EQ(log.box.rfind(L"Curtate cannot open the log file ", 0), 0u) << log.box;
    EXPECT_EQ(host_->Control().CallLog(), "") << "the tool called the host";
}

}  // namespace
