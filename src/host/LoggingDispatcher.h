#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/Dispatcher.h"
#include "host/EventLog.h"

namespace host {

// A Dispatcher that writes every call it passes on to `log`, answered or failed, with its
// duration: placed directly over the automation object, under any dispatcher that waits for a
// busy host, it logs each attempt of a call. Objects answered by CallForObject are logged the
// same way. Never changes an answer or an error.
class LoggingDispatcher final : public Dispatcher {
  public:
    // `inner` and `log` must outlive this dispatcher.
    LoggingDispatcher(Dispatcher& inner, EventLog& log) : inner_(inner), log_(log) {}
    // Owns `inner`.
    LoggingDispatcher(std::unique_ptr<Dispatcher> inner, EventLog& log)
        : owned_(std::move(inner)), inner_(*owned_), log_(log) {}

    common::HostValue Call(const std::string& name, const std::vector<common::HostValue>& args) override;
    common::HostValue Ask(const std::string& name, const std::vector<common::HostValue>& args) override;
    void Put(const std::string& name, const common::HostValue& value) override;
    std::unique_ptr<Dispatcher> CallForObject(const std::string& name) override;

  private:
    template <typename Run>
    auto Logged(const std::string& operation, const std::vector<common::HostValue>& args, Run run);

    std::unique_ptr<Dispatcher> owned_;
    Dispatcher& inner_;
    EventLog& log_;
};

}  // namespace host
