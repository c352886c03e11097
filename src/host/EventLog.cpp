#include "host/EventLog.h"

#include <utility>

#include "common/HostError.h"
#include "common/NumberText.h"

namespace host {

EventLog::EventLog(LogSink& sink, std::function<std::uint64_t()> clockMs)
    : sink_(sink), clock_(std::move(clockMs)), start_(clock_()) {}

void EventLog::Write(std::string_view event) {
    std::string line = std::to_string(clock_() - start_) + " ms  ";
    line.reserve(line.size() + event.size());
    for (const char c : event) {
        line += (c == '\r' || c == '\n') ? ' ' : c;
    }
    sink_.WriteLine(line);
}

void EventLog::WriteCall(std::string_view operation,
                         const std::vector<common::HostValue>& args,
                         const common::HostValue& answer,
                         const std::exception* failure,
                         std::uint64_t durationMs) {
    std::string event = "call " + std::string(operation) + "(";
    for (std::size_t i = 0; i < args.size(); ++i) {
        event += (i == 0 ? "" : ", ") + ValueText(args[i]);
    }
    event += ") -> ";
    if (failure == nullptr) {
        event += ValueText(answer);
    } else {
        event += "error ";
        const auto* hostError = dynamic_cast<const common::HostError*>(failure);
        // The code first, unless the description already names it.
        if (hostError != nullptr && hostError->Code() != 0) {
            const std::string code = common::HexCodeText(static_cast<std::uint32_t>(hostError->Code()));
            if (hostError->Description().find(code) == std::string::npos) {
                event += code + " ";
            }
        }
        event += hostError != nullptr ? hostError->Description() : std::string(failure->what());
    }
    Write(event + " (" + std::to_string(durationMs) + " ms)");
}

std::string EventLog::ValueText(const common::HostValue& value) {
    if (value.kind == common::HostValue::Kind::String && value.text.size() > 2 * kLoggedTextEnds) {
        const std::string& text = value.text;
        return "S:\"" + text.substr(0, kLoggedTextEnds) + "..." + text.substr(text.size() - kLoggedTextEnds) + "\" (" +
               std::to_string(text.size()) + " characters)";
    }
    std::string text = value.Describe();
    // An array of a whole document's ids or points is shortened the same way.
    if (text.size() > 2 * kLoggedTextEnds) {
        const std::size_t total = text.size();
        text = text.substr(0, kLoggedTextEnds) + "..." + text.substr(total - kLoggedTextEnds) + " (" +
               std::to_string(total) + " characters)";
    }
    return text;
}

}  // namespace host
