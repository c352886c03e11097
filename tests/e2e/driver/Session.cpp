#include "Session.h"

#include <cstddef>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <utility>

#include "ScreenCapture.h"
#include "platform/win32/base/TextConversion.h"

#include <winver.h>

namespace driver {

namespace {

namespace fs = std::filesystem;

constexpr DWORD kHostStartMs = 30000;
constexpr DWORD kPanelStartMs = 30000;
constexpr DWORD kIdleMs = 30000;

fs::path PathOf(const std::string& path) {
    return fs::path(WindowsPath(path));
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

int NextLogNumber() {
    static int n = 0;
    return ++n;
}

}  // namespace

void SetVersionResource(const std::wstring& exe, int major) {
    // VS_VERSIONINFO with the fixed part alone: its header, the key, padding to 32 bits, then
    // VS_FIXEDFILEINFO.
    struct VersionInfo {
        WORD length;
        WORD valueLength;
        WORD type;
        wchar_t key[16];
        WORD padding;
        VS_FIXEDFILEINFO fixed;
    };
    static_assert(offsetof(VersionInfo, fixed) == 40 && sizeof(VersionInfo) == 92);
    VersionInfo info{};
    info.length = sizeof info;
    info.valueLength = sizeof info.fixed;
    std::wmemcpy(info.key, L"VS_VERSION_INFO", 16);
    info.fixed.dwSignature = VS_FFI_SIGNATURE;
    info.fixed.dwStrucVersion = VS_FFI_STRUCVERSION;
    info.fixed.dwFileVersionMS = info.fixed.dwProductVersionMS = static_cast<DWORD>(major) << 16;
    info.fixed.dwFileOS = VOS_NT_WINDOWS32;
    info.fixed.dwFileType = VFT_APP;
    const HANDLE update = ::BeginUpdateResourceW(exe.c_str(), FALSE);
    if (update == nullptr ||
        !::UpdateResourceW(update, RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO),
                           MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), &info, sizeof info) ||
        !::EndUpdateResourceW(update, FALSE)) {
        const DWORD error = ::GetLastError();
        if (update != nullptr) {
            (void)::EndUpdateResourceW(update, TRUE);  // discards the update
        }
        throw std::runtime_error("cannot set the version resource (error " + std::to_string(error) + ")");
    }
}

std::wstring PreparedHostExe(const E2ePaths& paths, int version, bool bits32) {
    static std::map<std::pair<int, bool>, std::wstring> prepared;
    if (const auto it = prepared.find({version, bits32}); it != prepared.end()) {
        return it->second;
    }
    const bool modern = version == 0 || version >= 5;
    const std::wstring name = L"Rhino" + std::to_wstring(version);
    const fs::path dir = PathOf(paths.workDir) / (bits32 ? name + L"-x86" : name) / L"System";
    fs::create_directories(dir);
    const fs::path exe = dir / (modern ? L"Rhino.exe" : name + L".exe");
    // The copy of an earlier run goes first: under Wine a copy over an existing file can fail
    // and leave an older simulated host in place.
    std::error_code error;
    fs::remove(exe, error);
    error.clear();
    fs::copy_file(PathOf(bits32 ? paths.hostsim32Exe : paths.hostsimExe), exe, fs::copy_options::overwrite_existing,
                  error);
    if (error) {
        throw std::runtime_error("cannot copy the simulated host to " + exe.string() + ": " + error.message());
    }
    if (version == 0) {
        prepared[{version, bits32}] = exe.wstring();
        return exe.wstring();
    }
    if (modern) {
        SetVersionResource(exe.wstring(), version);
    }
    const std::optional<DWORD> registered = RunToEnd(exe.wstring(), {L"/regserver"}, 30000);
    if (!registered || *registered != 0) {
        throw std::runtime_error("registering the simulated host (" + exe.string() + " /regserver) failed");
    }
    prepared[{version, bits32}] = exe.wstring();
    return exe.wstring();
}

HostRun::HostRun(const E2ePaths& paths, const HostOptions& options) {
    const std::wstring exe = PreparedHostExe(paths, options.version, options.bits32);
    const fs::path logDir = PathOf(paths.workDir) / L"logs";
    fs::create_directories(logDir);
    logFile_ = (logDir / (L"host" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(NextLogNumber()) +
                          L".log"))
                   .wstring();
    fs::remove(logFile_);
    std::vector<std::wstring> arguments{L"--log", logFile_};
    if (!options.scene.empty()) {
        arguments.push_back(L"--scene");
        arguments.push_back((PathOf(paths.sceneDir) / win32::Utf8ToWide(options.scene)).wstring());
    }
    if (options.nullWindowHandle) {
        arguments.push_back(L"--null-window-handle");
    }
    if (!options.language.empty()) {
        arguments.push_back(L"--language");
        arguments.push_back(win32::Utf8ToWide(options.language));
    }
    for (const std::string& line : options.controlLines) {
        arguments.push_back(L"--control");
        arguments.push_back(win32::Utf8ToWide(line));
    }
    process_ = ChildProcess::Start(exe, arguments, fs::path(exe).parent_path().wstring());
    // The server shows its main window only after its class objects are registered, so a
    // visible window means the control object can be reached without COM starting another host.
    const bool shown = WaitUntil(
        [&] {
            const std::vector<HWND> windows = TopLevelWindowsOf(process_.Id());
            if (!windows.empty()) {
                mainWindow_ = windows.front();
            }
            return mainWindow_ != nullptr || !process_.Running();
        },
        kHostStartMs);
    if (!shown || mainWindow_ == nullptr) {
        const std::optional<DWORD> code = process_.WaitForExit(0);
        throw std::runtime_error("the simulated host did not show its window" +
                                 (code ? " (it ended with code " + std::to_string(*code) + ")" : std::string()));
    }
    control_ = HostControl::Connect(options.version);
}

HostRun::~HostRun() {
    Stop();
}

void HostRun::Stop() {
    if (!process_.Running()) {
        return;
    }
    try {
        control_.Quit();
    } catch (const std::exception&) {
        // The host no longer answers: it is terminated below.
    }
    control_ = HostControl();
    if (!process_.WaitForExit(5000)) {
        process_.Terminate();
    }
}

Session::Session(const E2ePaths& paths, const HostOptions& options) : paths_(paths), host_(paths, options) {
    const fs::path work = PathOf(paths.workDir);
    tool_ = ChildProcess::Start(PathOf(paths.curtateExe).wstring(), options.toolArguments, work.wstring());
    HWND panel = nullptr;
    WaitUntil(
        [&] {
            panel = FindPanel(tool_.Id());
            return panel != nullptr || !tool_.Running();
        },
        kPanelStartMs, 50);
    if (panel == nullptr) {
        throw std::runtime_error(tool_.Running() ? "the tool's panel did not appear" : "the tool ended at start");
    }
    panel_ = Panel(panel, tool_.Id());
    // Start-up docks the panel after it first found it; wait until it settled.
    WaitIdle();
}

Session::~Session() {
    try {
        Close();
    } catch (const std::exception&) {
        // The tool no longer answers: it is terminated below.
    }
    tool_.Terminate();
    host_.Stop();
}

void Session::Close() {
    if (tool_.Running() && panel_.Window() != nullptr) {
        // Closing the panel ends the tool; an open box is answered first so the close can run.
        CloseOpenBoxes();
        (void)::PostMessageW(panel_.Window(), WM_CLOSE, 0, 0);
        (void)tool_.WaitForExit(5000);
    }
}

void Session::QueuePick(const std::string& answer) {
    host_.Control().Control("pick " + answer);
}

void Session::PickWithClick(common::PanelControl button, const std::string& id, const std::string& view) {
    RefuseWhileBoxOpen();
    driver::PickWithClick(
        host_.Control(), host_.MainWindow(), [&] { panel_.Click(button); }, id, view);
    WaitIdle();
}

void Session::WaitIdle() {
    // The host's call log file grows with every call it answers.
    const std::wstring log = host_.LogFile();
    const auto activity = [log]() -> std::uint64_t {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!::GetFileAttributesExW(log.c_str(), GetFileExInfoStandard, &data)) {
            return 0;
        }
        return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    };
    if (!panel_.WaitIdle(kIdleMs, activity)) {
        throw std::runtime_error("the tool stayed busy: it took no posted message within " +
                                 std::to_string(kIdleMs / 1000) + " s");
    }
}

void Session::Click(common::PanelControl button) {
    RefuseWhileBoxOpen();
    panel_.Click(button);
    WaitIdle();
}

void Session::Press(common::PanelControl control, MouseButton button, std::optional<int> row) {
    RefuseWhileBoxOpen();
    panel_.Press(control, button, row);
    WaitIdle();
}

void Session::Release(common::PanelControl control, MouseButton button, std::optional<int> row) {
    panel_.Release(control, button, row);
    WaitIdle();
}

void Session::RefuseWhileBoxOpen() const {
    // The panel is disabled while a box is open, so a user cannot click it; a posted click
    // would still run its handler inside the box's loop, which no user can make happen.
    if (const std::optional<InfoBox> box = OpenInfoBox()) {
        throw std::runtime_error("an information box is open (\"" + box->message +
                                 "\"): the panel takes no click until it is answered");
    }
}

void Session::CloseMenus() {
    for (int i = 0; i < 5; ++i) {
        HWND menu = nullptr;
        for (HWND window : TopLevelWindowsOf(tool_.Id())) {
            if (ClassOf(window) == L"#32768") {
                menu = window;
            }
        }
        if (menu == nullptr) {
            return;
        }
        // The menu's loop reads the keyboard messages of its thread whatever window they name.
        (void)::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 1);
        (void)::PostMessageW(menu, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0000001u));
        WaitUntil([&] { return !::IsWindowVisible(menu); }, 2000);
        WaitIdle();
    }
}

void Session::CloseOpenBoxes() {
    for (int i = 0; i < 5; ++i) {
        const std::optional<InfoBox> box = OpenInfoBox();
        if (!box) {
            return;
        }
        ClickInfoBoxOk(box->window);
        WaitUntil([&] { return !::IsWindow(box->window); }, 5000);
    }
}

std::optional<InfoBox> Session::OpenInfoBox() const {
    return FindInfoBox(tool_.Id());
}

std::optional<std::string> Session::AnswerInfoBox() {
    std::optional<InfoBox> box;
    WaitUntil(
        [&] {
            box = FindInfoBox(tool_.Id());
            return box.has_value();
        },
        5000);
    if (!box) {
        return std::nullopt;
    }
    ClickInfoBoxOk(box->window);
    WaitUntil([&] { return !::IsWindow(box->window); }, 5000);
    WaitIdle();
    return box->message;
}

bool Session::AnswerBusyBox(bool retry, DWORD timeoutMs) {
    HWND box = nullptr;
    WaitUntil(
        [&] {
            box = FindBusyBox(tool_.Id());
            return box != nullptr;
        },
        timeoutMs);
    if (box == nullptr) {
        return false;
    }
    driver::AnswerBusyBox(box, retry);
    WaitUntil([&] { return !::IsWindow(box); }, 5000);
    return true;
}

HostDocument Session::Document() {
    return HostDocument::Parse(host_.Control().Document());
}

std::vector<LoggedCall> Session::Calls() {
    return ParseCallLog(host_.Control().CallLog());
}

std::string PanelStateText(const Panel& panel) {
    using common::PanelControl;
    std::string out;
    try {
        for (const PanelControl field : {PanelControl::Text5, PanelControl::Text1, PanelControl::Text2,
                                         PanelControl::Text3, PanelControl::Text4}) {
            out += std::string(common::NameOf(field)) + ": \"" + panel.Text(field) + "\"\n";
        }
        out += std::string("Check1: ") + (panel.Checked(PanelControl::Check1) ? "checked" : "unchecked") + "\n";
        out += "List1:\n";
        for (const std::string& row : panel.ListRows()) {
            out += "  \"" + row + "\"\n";
        }
        out += "Label2: \"" + panel.Status() + "\" " + (panel.StatusShown() ? "shown" : "hidden") + "\n";
    } catch (const std::exception& e) {
        out += std::string("(the panel did not answer: ") + e.what() + ")\n";
    }
    return out;
}

std::string Session::SaveArtifacts(const std::string& name) {
    std::string safe = name;
    for (char& c : safe) {
        if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|') {
            c = '_';
        }
    }
    const fs::path dir = PathOf(paths_.failureDir) / win32::Utf8ToWide(safe);
    std::error_code error;
    fs::create_directories(dir, error);
    try {
        ScreenImage::Capture().SaveBmp((dir / L"screen.bmp").wstring());
    } catch (const std::exception& e) {
        WriteFile(dir / L"screen-failed.txt", e.what());
    }
    std::string panelText = PanelStateText(panel_);
    if (const std::optional<InfoBox> box = FindInfoBox(tool_.Id())) {
        panelText += "Information box open: \"" + box->message + "\"\n";
    }
    panelText += std::string("Tool process: ") + (tool_.Running() ? "running" : "ended") + "\n";
    WriteFile(dir / L"panel.txt", panelText);
    try {
        WriteFile(dir / L"calls.txt", host_.Control().CallLog());
        WriteFile(dir / L"document.txt", host_.Control().Document());
    } catch (const std::exception& e) {
        WriteFile(dir / L"host-failed.txt", e.what());
    }
    fs::copy_file(host_.LogFile(), dir / L"host-call-log.txt", fs::copy_options::overwrite_existing, error);
    return dir.string();
}

}  // namespace driver
