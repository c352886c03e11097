#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "HostControl.h"
#include "HostDocument.h"
#include "ToolWindows.h"

namespace driver {

// Where the programs, scenes and outputs of an end-to-end run are. Paths may be given in
// Unix form (as CMake writes them); they are mapped through Wine's drive Z:.
struct E2ePaths {
    std::string hostsimExe;    // the built hostsim.exe
    std::string curtateExe;    // the built curtate.exe
    std::string workDir;       // copies of the host as Rhino4.exe / Rhino3.exe, host call logs
    std::string sceneDir;      // scene files named by HostOptions::scene
    std::string failureDir;    // one folder per failed scenario
    std::string hostsim32Exe;  // a 32-bit build's hostsim.exe, for HostOptions::bits32; may be empty
};

// How the simulated host is started.
struct HostOptions {
    int version = 4;                          // 3, 4: runs as Rhino3.exe or Rhino4.exe; 5 and up: as Rhino.exe
                                              // of that version
    std::string scene;                        // file name under sceneDir; empty for an empty document
    bool nullWindowHandle = false;            // WindowHandle answers 0: the panel stays top-level
    std::vector<std::string> controlLines;    // run after the scene
    std::string language;                     // the host's language code; empty: English
    bool bits32 = false;                      // the 32-bit build of the host (E2ePaths::hostsim32Exe)
    std::vector<std::wstring> toolArguments;  // the command line Session starts the tool with
};

// The simulated host running as its own process, copied to <workDir>/Rhino<v>/System/ and
// registered there once per driver run, with its control object connected.
class HostRun {
  public:
    HostRun(const E2ePaths& paths, const HostOptions& options);
    ~HostRun();
    HostRun(const HostRun&) = delete;
    HostRun& operator=(const HostRun&) = delete;

    HostControl& Control() { return control_; }
    DWORD ProcessId() const { return process_.Id(); }
    bool Running() const { return process_.Running(); }
    // The host's main window (top-level, visible).
    HWND MainWindow() const { return mainWindow_; }
    // The call log file the host appends to as calls happen.
    const std::wstring& LogFile() const { return logFile_; }
    // Ends the host: asks it to quit, then terminates it if it does not end within 5 s.
    void Stop();

  private:
    ChildProcess process_;
    HostControl control_;
    HWND mainWindow_ = nullptr;
    std::wstring logFile_;
};

// The host copy's path for a version, prepared (copied and registered) on first use: Rhino3.exe,
// Rhino4.exe, or for 5 and up Rhino.exe with that version in its version resource. Version 0
// gives a Rhino.exe without a version resource, left unregistered: it plays Rhino 4 and would
// take Rhino 4's ProgIDs over. `bits32` copies the 32-bit build, into a folder of its own.
std::wstring PreparedHostExe(const E2ePaths& paths, int version, bool bits32 = false);

// Gives an executable a version resource with product and file version major.0.0.0, in place
// of any it had. Throws std::runtime_error when the file cannot be updated.
void SetVersionResource(const std::wstring& exe, int major);

// A complete end-to-end session: the simulated host with a scene, the real tool started
// beside it, and its panel found once start-up has docked it (or left it top-level).
class Session {
  public:
    Session(const E2ePaths& paths, const HostOptions& options);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Panel& GetPanel() { return panel_; }
    HostRun& Host() { return host_; }
    HostControl& Control() { return host_.Control(); }
    DWORD ToolProcessId() const { return tool_.Id(); }
    bool ToolRunning() const { return tool_.Running(); }

    // Queues the next pick answer in the host: the ids, or "cancel".
    void QueuePick(const std::string& answer);
    // Clicks a panel button that asks for a pick and answers the pick with a click on the object
    // `id` in the host's viewport `view` (which becomes the active one); waits until the tool
    // has handled it.
    void PickWithClick(common::PanelControl button, const std::string& id, const std::string& view);
    // Clicks a panel button and waits until the tool has handled it (or opened a box);
    // throws std::runtime_error when the tool stays busy.
    void Click(common::PanelControl button);
    // Presses or releases a mouse button on a control and waits until it was handled.
    void Press(common::PanelControl control, MouseButton button, std::optional<int> row = std::nullopt);
    void Release(common::PanelControl control, MouseButton button, std::optional<int> row = std::nullopt);
    void WaitIdle();

    // The information box open now, if any.
    std::optional<InfoBox> OpenInfoBox() const;
    // Closes any popup menu of the tool (Esc, as a user would) and waits until it is idle.
    void CloseMenus();
    // Answers every information box still open (cleanup between table rows).
    void CloseOpenBoxes();
    // Expects an information box within a few seconds, clicks its "OK", waits until the tool
    // is idle again and returns the message; nothing when no box came.
    std::optional<std::string> AnswerInfoBox();

    // Expects the box about a busy Rhino within `timeoutMs`, answers Retry (true) or Cancel,
    // and waits until the box is gone; false when no box came.
    bool AnswerBusyBox(bool retry, DWORD timeoutMs);

    HostDocument Document();
    std::vector<LoggedCall> Calls();

    // Keeps what a failed scenario leaves: a screenshot, the host's call log and document,
    // the panel's fields, list and status, and any open box, under <failureDir>/<name>/.
    // Returns the folder.
    std::string SaveArtifacts(const std::string& name);

  private:
    void Close();
    void RefuseWhileBoxOpen() const;

    E2ePaths paths_;
    HostRun host_;
    ChildProcess tool_;
    Panel panel_;
};

// The panel's state as text, for failure reports: every field, the list rows, the status
// label with its visibility.
std::string PanelStateText(const Panel& panel);

}  // namespace driver
