#include "host/LoggingDispatcher.h"

#include <exception>
#include <type_traits>

namespace host {

namespace {

common::HostValue AnswerOf(const common::HostValue& answer) {
    return answer;
}

common::HostValue AnswerOf(const std::unique_ptr<Dispatcher>&) {
    common::HostValue object;
    object.kind = common::HostValue::Kind::Object;
    return object;
}

}  // namespace

template <typename Run>
auto LoggingDispatcher::Logged(const std::string& operation, const std::vector<common::HostValue>& args, Run run) {
    const std::uint64_t start = log_.Now();
    try {
        if constexpr (std::is_void_v<decltype(run())>) {
            run();
            log_.WriteCall(operation, args, common::HostValue::Empty(), nullptr, log_.Now() - start);
        } else {
            auto answer = run();
            log_.WriteCall(operation, args, AnswerOf(answer), nullptr, log_.Now() - start);
            return answer;
        }
    } catch (const std::exception& error) {
        log_.WriteCall(operation, args, common::HostValue::Empty(), &error, log_.Now() - start);
        throw;
    }
}

common::HostValue LoggingDispatcher::Call(const std::string& name, const std::vector<common::HostValue>& args) {
    return Logged(name, args, [&] { return inner_.Call(name, args); });
}

common::HostValue LoggingDispatcher::Ask(const std::string& name, const std::vector<common::HostValue>& args) {
    return Logged(name, args, [&] { return inner_.Ask(name, args); });
}

void LoggingDispatcher::Put(const std::string& name, const common::HostValue& value) {
    Logged(name + " =", {value}, [&] { inner_.Put(name, value); });
}

std::unique_ptr<Dispatcher> LoggingDispatcher::CallForObject(const std::string& name) {
    std::unique_ptr<Dispatcher> object = Logged(name, {}, [&] { return inner_.CallForObject(name); });
    return std::make_unique<LoggingDispatcher>(std::move(object), log_);
}

}  // namespace host
