#pragma once

#include <functional>
#include <string>

#include "hostsim/server/AutomationObject.h"

namespace hostsim {

// What the test control object does, supplied by the running server.
struct ControlHooks {
    // Runs one control line and answers its reply; throws ScriptError for a bad line.
    std::function<std::string(const std::string&)> control;
    // The call log text and the document dump.
    std::function<std::string()> callLog;
    std::function<std::string()> document;
    std::function<void()> clearLog;
    // Ends the server once the current call has answered.
    std::function<void()> quit;
};

// "Hostsim.Control": lets tests steer the simulated host. Methods Control(line) -> reply text,
// CallLog() -> text, Document() -> text, ClearLog(), Quit().
class ControlObject final : public AutomationObject {
  public:
    explicit ControlObject(ControlHooks hooks) : hooks_(std::move(hooks)) {}

  protected:
    std::optional<DISPID> DispidOf(std::wstring_view name) const override;
    Variant InvokeMember(DISPID id, InvokeKind kind, const std::vector<Value>& args) override;

  private:
    ControlHooks hooks_;
};

}  // namespace hostsim
