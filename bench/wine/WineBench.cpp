// Whole runs of the real tool and the simulated host under Wine, timed from outside as a user
// would see them, each repeated and reported as a median:
//   startup          from starting curtate.exe, a simulated Rhino 4 already running, until its
//                    panel is docked in the host's main window
//   trivial_start    from starting a program that only opens one window until that window is
//                    there: the reference for start-up under the same Wine
//   selallpts_<n>    a click on "SelAllPts" with a host document of n point objects, through COM
//                    and the real list box, until the tool is idle again with "<n> points added!"
//                    (sizes given as arguments "selallpts:<n>", 8,192 and 32,767 by default)
//   host_call_<n>    one IsPoint call through COM to the simulated host holding n points, the
//                    mean of up to 200 (asked for as "hostcall:<n>"; not part of the default run)
// Arguments name the measures to run (startup, selallpts, selallpts:<n>, hostcall:<n>); none
// runs startup and SelAllPts. "--repetitions <k>" repeats each (SelAllPts and host_call at most 3 times).
// Prints one line per measure: "<name> <median ms> <min ms> <max ms> <repetitions>".
// Exits 1 when a run does not reach its end state.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "Session.h"
#include "ToolWindows.h"
#include "host/HostScript.h"
#include "platform/win32/base/WinInclude.h"
#include "platform/win32/com/ComApartment.h"
#include "platform/win32/com/ComDispatcher.h"

namespace {

namespace fs = std::filesystem;

constexpr DWORD kStartTimeoutMs = 60000;
constexpr DWORD kSelAllPtsTimeoutMs = 30 * 60 * 1000;

driver::E2ePaths BenchPaths() {
    driver::E2ePaths paths;
    paths.hostsimExe = HOSTSIM_EXE_PATH;
    paths.curtateExe = CURTATE_EXE_PATH;
    paths.workDir = BENCH_WORK_DIR;
    paths.sceneDir = std::string(BENCH_WORK_DIR) + "/scenes";
    paths.failureDir = std::string(BENCH_WORK_DIR) + "/failures";
    return paths;
}

double NowMs() {
    LARGE_INTEGER counter;
    LARGE_INTEGER frequency;
    (void)::QueryPerformanceCounter(&counter);  // cannot fail on Windows XP and later
    (void)::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Figure {
    std::string name;
    std::vector<double> samplesMs;
};

void Print(const Figure& figure) {
    std::vector<double> sorted = figure.samplesMs;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t n = sorted.size();
    const double median = n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    std::printf("%s %.1f %.1f %.1f %zu\n", figure.name.c_str(), median, sorted.front(), sorted.back(), n);
    std::fflush(stdout);
}

// Waits, polling every millisecond, until `ready` holds; throws when `timeoutMs` passed.
void WaitFor(const std::function<bool()>& ready, const char* what) {
    if (!driver::WaitUntil(ready, kStartTimeoutMs, 1)) {
        throw std::runtime_error(std::string("timed out waiting for ") + what);
    }
}

// Closes a started program through its window and waits for its end; terminates it otherwise.
void CloseProgram(driver::ChildProcess& process, HWND window) {
    if (window != nullptr) {
        (void)::PostMessageW(window, WM_CLOSE, 0, 0);  // the process may be ending already
    }
    if (!process.WaitForExit(10000)) {
        process.Terminate();
    }
}

double StartupOnce(const driver::E2ePaths& paths, driver::HostRun& host) {
    const fs::path work(driver::WindowsPath(paths.workDir));
    const double start = NowMs();
    driver::ChildProcess tool = driver::ChildProcess::Start(driver::WindowsPath(paths.curtateExe), {}, work.wstring());
    HWND panel = nullptr;
    WaitFor(
        [&] {
            panel = driver::FindPanel(tool.Id());
            if (!tool.Running()) {
                throw std::runtime_error("the tool ended during start-up");
            }
            return panel != nullptr && ::GetAncestor(panel, GA_ROOT) == host.MainWindow();
        },
        "the panel docked in the host's main window");
    const double elapsed = NowMs() - start;
    CloseProgram(tool, panel);
    return elapsed;
}

double TrivialStartOnce() {
    const double start = NowMs();
    driver::ChildProcess program = driver::ChildProcess::Start(driver::WindowsPath(TRIVIAL_EXE_PATH), {});
    HWND window = nullptr;
    WaitFor(
        [&] {
            const std::vector<HWND> windows = driver::TopLevelWindowsOf(program.Id());
            window = windows.empty() ? nullptr : windows.front();
            return window != nullptr;
        },
        "the trivial program's window");
    const double elapsed = NowMs() - start;
    CloseProgram(program, window);
    return elapsed;
}

// A scene of `count` point objects on the world Y axis, written once under the scene folder.
std::string PointsScene(const driver::E2ePaths& paths, int count) {
    const fs::path dir(driver::WindowsPath(paths.sceneDir));
    fs::create_directories(dir);
    const std::string name = "points-" + std::to_string(count) + ".scene";
    std::ofstream out(dir / name, std::ios::binary);
    for (int i = 0; i < count; ++i) {
        out << "point 0 " << i << " 0\n";
    }
    if (!out) {
        throw std::runtime_error("cannot write the scene " + name);
    }
    return name;
}

double SelAllPtsOnce(const driver::E2ePaths& paths, const std::string& scene, int count) {
    driver::HostOptions options;
    options.scene = scene;
    driver::Session session(paths, options);
    // Every IsPoint is a cross-process call, so a large document takes minutes under Wine:
    // the wait is longer than a session's usual one.
    const double start = NowMs();
    session.GetPanel().Click(common::PanelControl::Command1);
    if (!session.GetPanel().WaitIdle(kSelAllPtsTimeoutMs)) {
        throw std::runtime_error("SelAllPts did not end within the time allowed");
    }
    const double elapsed = NowMs() - start;
    const std::string expected = std::to_string(count) + " points added!";
    if (session.GetPanel().Status() != expected) {
        throw std::runtime_error("SelAllPts showed \"" + session.GetPanel().Status() + "\", not \"" + expected + "\"");
    }
    const LRESULT rows = ::SendMessageW(session.GetPanel().Control(common::PanelControl::List1), LB_GETCOUNT, 0, 0);
    if (rows != count) {
        throw std::runtime_error("the list holds " + std::to_string(rows) + " rows");
    }
    return elapsed;
}

// One IsPoint call through COM to the simulated host, as the tool makes it, on the points of a
// document of `count` points: the mean over the document's points (at most 200).
double HostCallOnce(const driver::E2ePaths& paths, int count) {
    driver::HostOptions options;
    options.version = 4;
    options.scene = PointsScene(paths, count);
    driver::HostRun host(paths, options);
    win32::ComObjectCreator creator;
    const std::unique_ptr<host::Dispatcher> application = creator.CreateObject("Rhino4.Interface");
    const std::unique_ptr<host::Dispatcher> script = application->CallForObject("GetScriptObject");
    const common::HostValue all = script->Call("AllObjects", {});
    const std::size_t calls = std::min<std::size_t>(all.elements.size(), 200);
    if (calls == 0) {
        throw std::runtime_error("the host answered no objects");
    }
    const double start = NowMs();
    for (std::size_t i = 0; i < calls; ++i) {
        if (!host::HostScript::ReadBool(script->Call("IsPoint", {all.elements[i]}))) {
            throw std::runtime_error("a point of the scene is no point for the host");
        }
    }
    return (NowMs() - start) / static_cast<double>(calls);
}

}  // namespace

int main(int argc, char** argv) {
    int repetitions = 5;
    std::vector<std::string> only;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--repetitions" && i + 1 < argc) {
            repetitions = std::max(1, std::atoi(argv[++i]));
        } else {
            only.push_back(arg);
        }
    }
    const auto wanted = [&](const std::string& name) {
        return only.empty() || std::find(only.begin(), only.end(), name) != only.end();
    };
    try {
        win32::ComApartment apartment;
        const driver::E2ePaths paths = BenchPaths();
        // The host copies of an earlier run go first: a copy over an existing one can fail
        // unnoticed under Wine, which would leave an older simulated host in place.
        fs::remove_all(fs::path(driver::WindowsPath(paths.workDir)) / L"Rhino4");
        if (wanted("startup")) {
            // Each measure first runs once untimed, so that Wine has the programs' pages at hand
            // for both alike.
            driver::HostOptions options;
            options.version = 4;
            driver::HostRun host(paths, options);
            (void)StartupOnce(paths, host);
            (void)TrivialStartOnce();
            Figure startup{"startup", {}};
            Figure trivial{"trivial_start", {}};
            for (int i = 0; i < repetitions; ++i) {
                startup.samplesMs.push_back(StartupOnce(paths, host));
                trivial.samplesMs.push_back(TrivialStartOnce());
            }
            Print(startup);
            Print(trivial);
        }
        for (const std::string& arg : only) {
            if (arg.rfind("hostcall", 0) != 0) {
                continue;
            }
            const int count = arg.size() > 9 ? std::atoi(arg.c_str() + 9) : 16;
            Figure figure{"host_call_" + std::to_string(count), {}};
            for (int i = 0; i < std::min(repetitions, 3); ++i) {
                figure.samplesMs.push_back(HostCallOnce(paths, count));
            }
            Print(figure);
        }
        std::vector<int> counts;
        for (const std::string& arg : only) {
            if (arg.rfind("selallpts:", 0) == 0) {
                counts.push_back(std::atoi(arg.c_str() + 10));
            }
        }
        if (counts.empty() && wanted("selallpts")) {
            counts = {8192, 32767};
        }
        for (const int count : counts) {
            const std::string name = "selallpts_" + std::to_string(count);
            const std::string scene = PointsScene(paths, count);
            Figure figure{name, {}};
            for (int i = 0; i < std::min(repetitions, 3); ++i) {
                figure.samplesMs.push_back(SelAllPtsOnce(paths, scene, count));
            }
            Print(figure);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "curtate_wine_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
