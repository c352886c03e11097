#include "hostsim/server/ApplicationObject.h"

#include "hostsim/model/ScriptApi.h"
#include "hostsim/server/VariantConvert.h"

namespace hostsim {

namespace {

constexpr DISPID kGetScriptObject = 1;
constexpr DISPID kVisible = 2;

}  // namespace

ApplicationObject::ApplicationObject(ScriptApi& api, IDispatch* script, ApplicationHooks hooks)
    : api_(api), hooks_(std::move(hooks)) {
    script->AddRef();
    script_ = ComPtr<IDispatch>::Adopt(script);
}

ApplicationObject::~ApplicationObject() = default;

std::optional<DISPID> ApplicationObject::DispidOf(std::wstring_view name) const {
    if (SameName(name, L"GetScriptObject")) {
        return kGetScriptObject;
    }
    if (SameName(name, L"Visible")) {
        return kVisible;
    }
    return std::nullopt;
}

Variant ApplicationObject::InvokeMember(DISPID id, InvokeKind kind, const std::vector<Value>& args) {
    switch (id) {
        case kGetScriptObject: {
            if (kind == InvokeKind::PropertyPut) {
                throw DispatchError(DISP_E_MEMBERNOTFOUND);
            }
            if (!args.empty()) {
                throw DispatchError(DISP_E_BADPARAMCOUNT);
            }
            if (hooks_.note) {
                hooks_.note("GetScriptObject()");
            }
            if (api_.NextGetScriptObjectFails()) {
                throw ScriptError("GetScriptObject", "The script object is not available yet");
            }
            Variant answer;
            answer.Get().vt = VT_DISPATCH;
            answer.Get().pdispVal = script_.Get();
            script_->AddRef();
            return answer;
        }
        case kVisible: {
            if (kind == InvokeKind::PropertyPut) {
                if (args.size() != 1) {
                    throw DispatchError(DISP_E_BADPARAMCOUNT);
                }
                const Value& shown = args.back();
                if (hooks_.note) {
                    hooks_.note("Visible(" + shown.Text() + ")");
                }
                bool show = false;
                if (shown.Kind() == ValueKind::Bool) {
                    show = shown.AsBool();
                } else if (const auto number = shown.Number()) {
                    show = *number != 0.0;
                } else {
                    throw DispatchError(DISP_E_TYPEMISMATCH);
                }
                if (hooks_.setVisible) {
                    hooks_.setVisible(show);
                }
                return Variant();
            }
            if (!args.empty()) {
                throw DispatchError(DISP_E_BADPARAMCOUNT);
            }
            return VariantFromValue(Value::Bool(hooks_.isVisible && hooks_.isVisible()));
        }
        default:
            throw DispatchError(DISP_E_MEMBERNOTFOUND);
    }
}

}  // namespace hostsim
