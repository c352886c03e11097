#pragma once

#include <functional>
#include <string>
#include <vector>

#include "hostsim/server/AutomationObject.h"

namespace hostsim {

class ScriptApi;

// The host's script object (what GetScriptObject answers): every operation the ScriptApi knows,
// as a method with its DISPID, routed by name to ScriptApi::Call. Arguments and answers are
// converted between VARIANT and Value; a ScriptError reaches the caller as DISP_E_EXCEPTION
// with its description. `afterCall` (may be empty) runs after every call, answered or raised,
// with the operation's name and arguments. An operation the ScriptApi was told not to know is
// no member: GetIDsOfNames fails with DISP_E_UNKNOWNNAME and Invoke by a DISPID obtained before
// answers DISP_E_MEMBERNOTFOUND; both are recorded in the call log and passed to `afterCall`.
class ScriptObject final : public AutomationObject {
  public:
    using AfterCall = std::function<void(const std::string& operation, const std::vector<Value>& args)>;

    ScriptObject(ScriptApi& api, AfterCall afterCall);

  protected:
    std::optional<DISPID> DispidOf(std::wstring_view name) const override;
    Variant InvokeMember(DISPID id, InvokeKind kind, const std::vector<Value>& args) override;

  private:
    ScriptApi& api_;
    AfterCall afterCall_;
    std::vector<std::string> names_;
    std::vector<std::wstring> wideNames_;
};

}  // namespace hostsim
