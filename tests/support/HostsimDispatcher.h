#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/Dispatcher.h"
#include "hostsim/model/ScriptApi.h"

namespace testing_support {

// The simulated host's script object as the tool's dispatcher, in process: converts each
// argument into the simulated host's value, calls ScriptApi::Call, and converts the answer
// back, kinds and array shapes kept. A ScriptError becomes common::HostError (cause Raised)
// with the operation and the description, as the Win32 dispatcher reports a raised error.
class HostsimDispatcher : public host::Dispatcher {
  public:
    // `api` is not owned and must outlive the dispatcher.
    explicit HostsimDispatcher(hostsim::ScriptApi& api) : api_(api) {}

    common::HostValue Call(const std::string& name, const std::vector<common::HostValue>& args) override;
    // The script object has no properties and hands out no objects: both raise HostError.
    void Put(const std::string& name, const common::HostValue& value) override;
    std::unique_ptr<host::Dispatcher> CallForObject(const std::string& name) override;

    static hostsim::Value ToHostsim(const common::HostValue& value);
    static common::HostValue FromHostsim(const hostsim::Value& value);

  private:
    hostsim::ScriptApi& api_;
};

}  // namespace testing_support
