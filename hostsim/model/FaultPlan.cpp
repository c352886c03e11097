#include "hostsim/model/FaultPlan.h"

#include <algorithm>

#include "hostsim/model/TextScan.h"

namespace hostsim {

std::optional<WrongType> ParseWrongType(std::string_view word) {
    static const struct {
        std::string_view name;
        WrongType kind;
    } kNames[] = {{"number", WrongType::Number}, {"array1d", WrongType::Array1D}, {"point2", WrongType::Point2},
                  {"string", WrongType::String}, {"null", WrongType::Null},       {"empty", WrongType::Empty}};
    for (const auto& entry : kNames) {
        if (EqualsIgnoringCase(word, entry.name)) {
            return entry.kind;
        }
    }
    return std::nullopt;
}

namespace {

bool IsPointArray(const Value& v) {
    if (!v.IsArray() || v.Dimensions() != 1 || v.Elements().size() != 3) {
        return false;
    }
    return std::all_of(v.Elements().begin(), v.Elements().end(), [](const Value& e) { return e.IsNumber(); });
}

Value CutPoints(const Value& v, bool& found) {
    if (IsPointArray(v)) {
        found = true;
        return Value::Array({Value::Double(*v.Elements()[0].Number()), Value::Double(*v.Elements()[1].Number())});
    }
    if (!v.IsArray()) {
        return v;
    }
    std::vector<Value> elements;
    elements.reserve(v.Elements().size());
    for (const Value& e : v.Elements()) {
        elements.push_back(CutPoints(e, found));
    }
    return Value::Array(v.Bounds(), std::move(elements));
}

}  // namespace

Value ApplyWrongType(WrongType kind, const Value& answer) {
    switch (kind) {
        case WrongType::Number:
            return Value::Double(1.0);
        case WrongType::Array1D:
            if (answer.IsArray()) {
                return Value::Array(answer.Elements());
            }
            return Value::Array({answer});
        case WrongType::Point2: {
            bool found = false;
            Value cut = CutPoints(answer, found);
            return found ? cut : Value::Array({Value::Double(0.0), Value::Double(0.0)});
        }
        case WrongType::String:
            if (answer.Kind() == ValueKind::Bool) {
                return Value::String(answer.AsBool() ? "True" : "False");
            }
            return Value::String(answer.Text());
        case WrongType::Null:
            return Value::Null();
        case WrongType::Empty:
            return Value::Empty();
    }
    return answer;
}

void FaultPlan::RaiseOn(std::string operation, std::uint32_t n) {
    faults_.push_back({Action::Raise, std::move(operation), n, WrongType::Null, 0});
}

void FaultPlan::ExitOn(std::string operation, std::uint32_t n) {
    faults_.push_back({Action::Exit, std::move(operation), n, WrongType::Null, 0});
}

void FaultPlan::RefuseOn(std::string operation, std::uint32_t n) {
    faults_.push_back({Action::Refuse, std::move(operation), n, WrongType::Null, 0});
}

void FaultPlan::DrawNothingFor(std::string operation, std::optional<std::uint32_t> n) {
    faults_.push_back({Action::DrawNothing, std::move(operation), n, WrongType::Null, 0});
}

void FaultPlan::WrongTypeFor(std::string operation, WrongType kind, std::optional<std::uint32_t> n) {
    faults_.push_back({Action::WrongType, std::move(operation), n, kind, 0});
}

void FaultPlan::Clear() {
    faults_.clear();
    getScriptObjectFailures_ = 0;
}

FaultPlan::Decision FaultPlan::OnCall(const std::string& operation) {
    Decision decision;
    for (Fault& fault : faults_) {
        if (fault.operation != operation) {
            continue;
        }
        ++fault.seen;
        const bool fires = !fault.n || fault.seen == *fault.n;
        if (!fires) {
            continue;
        }
        switch (fault.action) {
            case Action::Raise:
                decision.raise = true;
                break;
            case Action::Exit:
                decision.exit = true;
                break;
            case Action::Refuse:
                decision.refuse = true;
                break;
            case Action::DrawNothing:
                decision.drawNothing = true;
                break;
            case Action::WrongType:
                decision.wrongType = fault.wrongType;
                break;
        }
    }
    // A fault with a call number fires once; drop it so the counting of others is unchanged.
    std::erase_if(faults_, [](const Fault& f) { return f.n && f.seen >= *f.n; });
    return decision;
}

bool FaultPlan::NextGetScriptObjectFails() {
    if (getScriptObjectFailures_ == 0) {
        return false;
    }
    --getScriptObjectFailures_;
    return true;
}

}  // namespace hostsim
