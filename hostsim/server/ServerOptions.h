#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "hostsim/model/ConstructionPlane.h"
#include "hostsim/model/ScriptApi.h"

namespace hostsim {

// What hostsim.exe was asked to do by its command line.
struct ServerOptions {
    enum class Action { Run, Register, Unregister };
    Action action = Action::Run;
    // Started by COM ("-Embedding" or "/Embedding"): the main window starts hidden.
    bool embedding = false;
    // Scene file loaded before the class objects are registered; empty for none.
    std::wstring sceneFile;
    // Control lines run, in order, after the scene.
    std::vector<std::string> controlLines;
    // WindowHandle answers 0 instead of the main window's handle.
    bool nullWindowHandle = false;
    // Registers no class objects: clients reach the host only through the running object
    // table (GetActiveObject). For tests that kill the host: Wine keeps a killed process's
    // class registration and hands it to later creations, but drops its table entry.
    bool noClassObjects = false;
    // File every call is appended to as it happens; empty for none.
    std::wstring logFile;
    // The viewport active at start.
    ViewKind activeView = ViewKind::Top;
    // The host's language code: outside English, Command knows names only behind "_".
    std::string language = "en";
    // The window's modal dialog box, open from the start (once the server serves).
    std::optional<DialogKind> dialog;
};

// A command line that cannot be read; the message names the switch.
class OptionsError : public std::runtime_error {
  public:
    explicit OptionsError(const std::string& what) : std::runtime_error(what) {}
};

// Reads the arguments after the program name. Switches: /regserver, /unregserver, -Embedding
// (each also with "-" or "/" and any case), --scene FILE, --control LINE (repeatable; UTF-8
// kept), --busy MILLISECONDS (the control line "busy for MILLISECONDS"), --null-window-handle,
// --no-class-objects, --log FILE, --viewport NAME (Top, Front, Right, Perspective), --language
// CODE ("de", "en-US"), --command NAME (the control line "command start NAME"), --unknown OP
// (repeatable; the control line "unknown OP"), --interpcrv OPTIONS (the control line "interpcrv
// OPTIONS": InterpCrv's remembered options, "Degree=1 PersistentClose=Yes"), --dialog busy|runs. Throws OptionsError
// for an unknown switch, a missing value or a viewport, language or dialog kind it cannot read.
ServerOptions ParseServerOptions(const std::vector<std::wstring>& args);

// The arguments of this process's command line after the program name.
std::vector<std::wstring> ProcessArguments();

}  // namespace hostsim
