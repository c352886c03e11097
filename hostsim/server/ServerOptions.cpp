#include "hostsim/server/ServerOptions.h"

#include "hostsim/model/ScriptApi.h"
#include "hostsim/server/AutomationObject.h"
#include "hostsim/server/WideText.h"
#include "hostsim/server/WinInclude.h"

#include <shellapi.h>

namespace hostsim {

namespace {

// "/name" or "-name", any case.
bool IsSwitch(const std::wstring& arg, std::wstring_view name) {
    return arg.size() == name.size() + 1 && (arg[0] == L'/' || arg[0] == L'-') &&
           SameName(std::wstring_view(arg).substr(1), name);
}

}  // namespace

ServerOptions ParseServerOptions(const std::vector<std::wstring>& args) {
    ServerOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        const auto value = [&]() -> const std::wstring& {
            if (i + 1 >= args.size()) {
                throw OptionsError("the switch " + WideToUtf8(arg) + " needs a value");
            }
            return args[++i];
        };
        if (IsSwitch(arg, L"regserver")) {
            options.action = ServerOptions::Action::Register;
        } else if (IsSwitch(arg, L"unregserver")) {
            options.action = ServerOptions::Action::Unregister;
        } else if (IsSwitch(arg, L"Embedding")) {
            options.embedding = true;
        } else if (arg == L"--scene") {
            options.sceneFile = value();
        } else if (arg == L"--control") {
            options.controlLines.push_back(WideToUtf8(value()));
        } else if (arg == L"--busy") {
            // Busy from the start for that many milliseconds: the control line of the same meaning.
            options.controlLines.push_back("busy for " + WideToUtf8(value()));
        } else if (arg == L"--command") {
            options.controlLines.push_back("command start " + WideToUtf8(value()));
        } else if (arg == L"--unknown") {
            options.controlLines.push_back("unknown " + WideToUtf8(value()));
        } else if (arg == L"--interpcrv") {
            options.controlLines.push_back("interpcrv " + WideToUtf8(value()));
        } else if (arg == L"--dialog") {
            const std::wstring& kind = value();
            if (SameName(kind, L"busy")) {
                options.dialog = DialogKind::Busy;
            } else if (SameName(kind, L"runs")) {
                options.dialog = DialogKind::Runs;
            } else {
                throw OptionsError("--dialog takes busy or runs, not " + WideToUtf8(kind));
            }
        } else if (arg == L"--null-window-handle") {
            options.nullWindowHandle = true;
        } else if (arg == L"--no-class-objects") {
            options.noClassObjects = true;
        } else if (arg == L"--log") {
            options.logFile = value();
        } else if (arg == L"--viewport") {
            const std::string name = WideToUtf8(value());
            const std::optional<ViewKind> view = ParseViewName(name);
            if (!view) {
                throw OptionsError("--viewport takes Top, Front, Right or Perspective, not " + name);
            }
            options.activeView = *view;
        } else if (arg == L"--language") {
            options.language = WideToUtf8(value());
            if (!IsLanguageCode(options.language)) {
                throw OptionsError("--language takes a code such as de or en-US, not " + options.language);
            }
        } else {
            throw OptionsError("unknown switch " + WideToUtf8(arg));
        }
    }
    return options;
}

std::vector<std::wstring> ProcessArguments() {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> args;
    if (!argv) {
        return args;
    }
    for (int i = 1; i < count; ++i) {
        args.emplace_back(argv[i]);
    }
    LocalFree(argv);
    return args;
}

}  // namespace hostsim
