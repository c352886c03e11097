#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/HostValue.h"

namespace host {

// Where the log's lines go. The platform appends each line to its file at once, so that a
// crash keeps every line written before it.
class LogSink {
  public:
    virtual ~LogSink() = default;
    // One line, UTF-8, without its line end.
    virtual void WriteLine(std::string_view line) = 0;
};

// A command text longer than this many characters is logged as its first and last
// kLoggedTextEnds characters and its length.
inline constexpr std::size_t kLoggedTextEnds = 100;

// The program's log: one line per event, "<ms since the log began> ms  <event>", line ends
// within the event written as spaces. One thread.
class EventLog {
  public:
    // `sink` must outlive the log; `clockMs` is a monotonic clock in milliseconds, read now for
    // the log's start.
    EventLog(LogSink& sink, std::function<std::uint64_t()> clockMs);

    // The clock, in its own milliseconds.
    std::uint64_t Now() const { return clock_(); }
    // Writes one event.
    void Write(std::string_view event);
    // Writes one host call: "call Op(arg, arg) -> answer (D ms)" or "call Op(arg) -> error
    // 0x80020009 description (D ms)"; `failure` null for an answered call.
    void WriteCall(std::string_view operation,
                   const std::vector<common::HostValue>& args,
                   const common::HostValue& answer,
                   const std::exception* failure,
                   std::uint64_t durationMs);

    // A value as the log writes it: HostValue::Describe, a text longer than 2 * kLoggedTextEnds
    // shortened to S:"<first 100>...<last 100>" (N characters); any other value whose description
    // is that long (an array of a document's ids) to the description's ends and its length.
    static std::string ValueText(const common::HostValue& value);

  private:
    LogSink& sink_;
    std::function<std::uint64_t()> clock_;
    std::uint64_t start_;
};

}  // namespace host
