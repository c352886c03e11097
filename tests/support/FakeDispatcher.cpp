#include "FakeDispatcher.h"

#include "common/HostError.h"

namespace testing_support {

std::string RecordedCall::Describe() const {
    std::string out = name + "(";
    for (std::size_t i = 0; i < args.size(); ++i) {
        out += (i == 0 ? "" : ", ") + args[i].Describe();
    }
    return out + ")";
}

common::HostValue FakeDispatcher::Call(const std::string& name, const std::vector<common::HostValue>& args) {
    calls.push_back({name, args});
    if (busyCalls_ > 0) {
        --busyCalls_;
        throw common::HostError(name, "busy", common::HostError::Cause::Busy);
    }
    const int nth = ++counts_[name];
    if (auto raise = raises_.find(name); raise != raises_.end()) {
        if (auto hit = raise->second.find(nth); hit != raise->second.end()) {
            throw common::HostError(name, hit->second);
        }
    }
    if (auto answerer = answerers_.find(name); answerer != answerers_.end()) {
        return answerer->second(args);
    }
    if (auto queue = queued_.find(name); queue != queued_.end() && !queue->second.empty()) {
        common::HostValue answer = std::move(queue->second.front());
        queue->second.erase(queue->second.begin());
        return answer;
    }
    if (auto fallback = defaults_.find(name); fallback != defaults_.end()) {
        return fallback->second;
    }
    return common::HostValue::Empty();
}

void FakeDispatcher::Put(const std::string& name, const common::HostValue& value) {
    (void)Call("put " + name, {value});
}

std::unique_ptr<host::Dispatcher> FakeDispatcher::CallForObject(const std::string& name) {
    (void)Call(name, {});
    auto& queue = objects_[name];
    if (queue.empty()) {
        throw common::HostError(name, "no object");
    }
    auto object = std::move(queue.front());
    queue.erase(queue.begin());
    return object;
}

void FakeDispatcher::RaiseOn(const std::string& name, int nth, const std::string& description) {
    raises_[name][nth] = description;
}

std::vector<std::string> FakeDispatcher::Names() const {
    std::vector<std::string> names;
    names.reserve(calls.size());
    for (const auto& call : calls) {
        names.push_back(call.name);
    }
    return names;
}

int FakeDispatcher::CountOf(const std::string& name) const {
    int count = 0;
    for (const auto& call : calls) {
        count += call.name == name ? 1 : 0;
    }
    return count;
}

}  // namespace testing_support
