#include "hostsim/server/ScriptObject.h"

#include "hostsim/model/ScriptApi.h"
#include "hostsim/server/BusyFilter.h"
#include "hostsim/server/VariantConvert.h"
#include "hostsim/server/WideText.h"

namespace hostsim {

namespace {

// DISPIDs are the position in the operation list plus this offset, keeping clear of 0
// (DISPID_VALUE) and the negative reserved ones.
constexpr DISPID kFirstOperationId = 1000;

// Runs the observer after the call whatever its outcome.
class AfterCallGuard {
  public:
    AfterCallGuard(const ScriptObject::AfterCall& afterCall,
                   const std::string& operation,
                   const std::vector<Value>& args)
        : afterCall_(afterCall), operation_(operation), args_(args) {}
    ~AfterCallGuard() {
        try {
            if (afterCall_) {
                afterCall_(operation_, args_);
            }
        } catch (...) {
            // Logging must never change the answer of the call it records.
        }
    }
    AfterCallGuard(const AfterCallGuard&) = delete;
    AfterCallGuard& operator=(const AfterCallGuard&) = delete;

  private:
    const ScriptObject::AfterCall& afterCall_;
    const std::string& operation_;
    const std::vector<Value>& args_;
};

}  // namespace

ScriptObject::ScriptObject(ScriptApi& api, AfterCall afterCall)
    : api_(api), afterCall_(std::move(afterCall)), names_(ScriptApi::OperationNames()) {
    for (const std::string& name : names_) {
        wideNames_.push_back(Utf8ToWide(name));
    }
}

std::optional<DISPID> ScriptObject::DispidOf(std::wstring_view name) const {
    for (std::size_t i = 0; i < wideNames_.size(); ++i) {
        if (!SameName(wideNames_[i], name)) {
            continue;
        }
        if (!api_.Knows(names_[i])) {
            // A host that lacks the method fails the look-up, and the client never calls; the
            // log still shows that it tried.
            const std::vector<Value> noArguments;
            api_.LogUnknownName(names_[i], noArguments, "GetIDsOfNames refused it");
            AfterCallGuard guard(afterCall_, names_[i], noArguments);
            return std::nullopt;
        }
        return kFirstOperationId + static_cast<DISPID>(i);
    }
    return std::nullopt;
}

Variant ScriptObject::InvokeMember(DISPID id, InvokeKind kind, const std::vector<Value>& args) {
    const std::int64_t index = std::int64_t{id} - kFirstOperationId;
    if (index < 0 || index >= static_cast<std::int64_t>(names_.size())) {
        throw DispatchError(DISP_E_MEMBERNOTFOUND);
    }
    if (kind == InvokeKind::PropertyPut) {
        throw DispatchError(DISP_E_MEMBERNOTFOUND);
    }
    const std::string& name = names_[static_cast<std::size_t>(index)];
    if (!api_.Knows(name)) {
        api_.LogUnknownName(name, args, "Invoke by an earlier DISPID refused it");
        AfterCallGuard guard(afterCall_, name, args);
        throw DispatchError(DISP_E_MEMBERNOTFOUND);
    }
    // A busy host turns the call away before running it, as COM turns away a call to a host
    // whose message filter answers "retry later"; the client is to call again.
    if (api_.Busy().TurnsAway(SteadyMilliseconds(), BusyPlan::Means::Object)) {
        throw DispatchError(RPC_E_SERVERCALL_RETRYLATER);
    }
    AfterCallGuard guard(afterCall_, name, args);
    return VariantFromValue(api_.Call(name, args));
}

}  // namespace hostsim
