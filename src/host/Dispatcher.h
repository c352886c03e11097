#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/HostValue.h"

namespace host {

// One late-bound automation object of the host (the application object or the script
// object). Calls go by name; the Win32 layer implements it over IDispatch, tests fake it.
// Every method throws common::HostError when the host raises an error or cannot be reached.
class Dispatcher {
  public:
    virtual ~Dispatcher() = default;

    // Calls method `name` with `args` in call order and returns its answer, converted
    // faithfully (Empty when the method answers nothing).
    virtual common::HostValue Call(const std::string& name, const std::vector<common::HostValue>& args) = 0;

    // Calls method `name` as Call does, for a question whose answer the caller can do without:
    // a dispatcher that waits for a busy host fails such a call at once instead (common::HostError
    // of cause Busy). Every other dispatcher calls it as Call.
    virtual common::HostValue Ask(const std::string& name, const std::vector<common::HostValue>& args) {
        return Call(name, args);
    }

    // Sets property `name` to `value`.
    virtual void Put(const std::string& name, const common::HostValue& value) = 0;

    // Calls method `name` without arguments and returns the automation object it answers.
    // Throws common::HostError also when the answer is not an object.
    virtual std::unique_ptr<Dispatcher> CallForObject(const std::string& name) = 0;
};

// Creates the host's application object by ProgID on this machine.
class ObjectCreator {
  public:
    virtual ~ObjectCreator() = default;

    // The new object; throws common::HostError when it cannot be created.
    virtual std::unique_ptr<Dispatcher> CreateObject(const std::string& progId) = 0;
};

}  // namespace host
