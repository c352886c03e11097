#include "hostsim/server/ControlObject.h"

#include <array>

#include "hostsim/model/ScriptApi.h"
#include "hostsim/server/VariantConvert.h"

namespace hostsim {

namespace {

enum : DISPID { kControl = 1, kCallLog, kDocument, kClearLog, kQuit };

struct Member {
    const wchar_t* name;
    DISPID id;
    std::size_t arguments;
};

constexpr std::array<Member, 5> kMembers{{
    {L"Control", kControl, 1},
    {L"CallLog", kCallLog, 0},
    {L"Document", kDocument, 0},
    {L"ClearLog", kClearLog, 0},
    {L"Quit", kQuit, 0},
}};

Variant Text(const std::string& text) {
    return VariantFromValue(Value::String(text));
}

}  // namespace

std::optional<DISPID> ControlObject::DispidOf(std::wstring_view name) const {
    for (const Member& member : kMembers) {
        if (SameName(name, member.name)) {
            return member.id;
        }
    }
    return std::nullopt;
}

Variant ControlObject::InvokeMember(DISPID id, InvokeKind kind, const std::vector<Value>& args) {
    const Member* member = nullptr;
    for (const Member& candidate : kMembers) {
        if (candidate.id == id) {
            member = &candidate;
        }
    }
    if (!member || kind == InvokeKind::PropertyPut) {
        throw DispatchError(DISP_E_MEMBERNOTFOUND);
    }
    if (args.size() != member->arguments) {
        throw DispatchError(DISP_E_BADPARAMCOUNT);
    }
    switch (id) {
        case kControl:
            if (args[0].Kind() != ValueKind::String) {
                throw ScriptError("Control", "the control line must be a string");
            }
            return Text(hooks_.control(args[0].AsString()));
        case kCallLog:
            return Text(hooks_.callLog());
        case kDocument:
            return Text(hooks_.document());
        case kClearLog:
            hooks_.clearLog();
            return Variant();
        case kQuit:
            hooks_.quit();
            return Variant();
        default:
            throw DispatchError(DISP_E_MEMBERNOTFOUND);
    }
}

}  // namespace hostsim
