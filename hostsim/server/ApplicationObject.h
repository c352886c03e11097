#pragma once

#include <functional>
#include <string>

#include "hostsim/server/AutomationObject.h"

namespace hostsim {

class ScriptApi;

// What the application object needs from the running server.
struct ApplicationHooks {
    // Whether the main window is shown, and showing or hiding it.
    std::function<bool()> isVisible;
    std::function<void(bool)> setVisible;
    // Records one call on the application object in the call log file (may be empty); the line
    // has the call log's form, e.g. "GetScriptObject()" or "Visible(Bool true)".
    std::function<void(const std::string&)> note;
};

// The host's application object, created by ProgID: method GetScriptObject (no arguments)
// answers the script object; property Visible reads and sets whether the main window shows.
// GetScriptObject raises an error while the document's injected fault says it fails.
class ApplicationObject final : public AutomationObject {
  public:
    // Holds a reference to `script` for its whole life.
    ApplicationObject(ScriptApi& api, IDispatch* script, ApplicationHooks hooks);

  protected:
    std::optional<DISPID> DispidOf(std::wstring_view name) const override;
    Variant InvokeMember(DISPID id, InvokeKind kind, const std::vector<Value>& args) override;

  private:
    ~ApplicationObject() override;

    ScriptApi& api_;
    ComPtr<IDispatch> script_;
    ApplicationHooks hooks_;
};

}  // namespace hostsim
