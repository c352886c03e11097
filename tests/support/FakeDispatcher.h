#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/Dispatcher.h"

namespace testing_support {

// One call the fake received: the operation and its arguments as passed.
struct RecordedCall {
    std::string name;
    std::vector<common::HostValue> args;

    // e.g. IsPoint(S:"A") — readable in failure messages.
    std::string Describe() const;
};

// A scripted host object: answers each operation from a per-name script (a queue of
// answers, then a default), can raise an error on a named call, and records every call
// in order with its exact argument kinds.
class FakeDispatcher : public host::Dispatcher {
  public:
    common::HostValue Call(const std::string& name, const std::vector<common::HostValue>& args) override;
    void Put(const std::string& name, const common::HostValue& value) override;
    std::unique_ptr<host::Dispatcher> CallForObject(const std::string& name) override;

    // Answers for `name`: each call takes the next queued answer; when the queue is empty
    // the default answer (Empty unless set) is given.
    void Queue(const std::string& name, common::HostValue answer) { queued_[name].push_back(std::move(answer)); }
    void Default(const std::string& name, common::HostValue answer) { defaults_[name] = std::move(answer); }
    // Computes the answer from the arguments (takes precedence over queue and default).
    void Answer(const std::string& name, std::function<common::HostValue(const std::vector<common::HostValue>&)> fn) {
        answerers_[name] = std::move(fn);
    }
    // The `nth` call (1-based) of `name` raises a host error with `description`.
    void RaiseOn(const std::string& name, int nth, const std::string& description = "simulated failure");

    // The next `calls` calls, of any operation, are turned away as busy (common::HostError of
    // cause Busy), as a host with a dialog box open turns them away.
    void BusyFor(int callCount) { busyCalls_ = callCount; }

    // Objects handed out by CallForObject(name); a call with nothing queued throws.
    void QueueObject(const std::string& name, std::unique_ptr<host::Dispatcher> object) {
        objects_[name].push_back(std::move(object));
    }

    std::vector<RecordedCall> calls;
    // Only the operation names, in call order.
    std::vector<std::string> Names() const;
    int CountOf(const std::string& name) const;

  private:
    std::map<std::string, std::vector<common::HostValue>> queued_;
    std::map<std::string, common::HostValue> defaults_;
    std::map<std::string, std::function<common::HostValue(const std::vector<common::HostValue>&)>> answerers_;
    std::map<std::string, std::map<int, std::string>> raises_;
    std::map<std::string, std::vector<std::unique_ptr<host::Dispatcher>>> objects_;
    std::map<std::string, int> counts_;
    int busyCalls_ = 0;
};

}  // namespace testing_support
