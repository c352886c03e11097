#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/BusyPolicy.h"
#include "host/Dispatcher.h"

namespace host {

// A Dispatcher over another that waits for a busy host: a call that fails with
// common::HostError of cause Busy is made again as the BusyPolicy says, pausing through the
// policy's platform, and fails with that error when the policy gives it up. Objects answered
// by CallForObject are wrapped the same way. Every other failure passes at once. A question
// (Ask) is not waited for: a busy host fails it at once.
class PatientDispatcher final : public Dispatcher {
  public:
    // `inner` and `policy` must outlive this dispatcher.
    PatientDispatcher(Dispatcher& inner, BusyPolicy& policy) : inner_(inner), policy_(policy) {}

    common::HostValue Call(const std::string& name, const std::vector<common::HostValue>& args) override;
    common::HostValue Ask(const std::string& name, const std::vector<common::HostValue>& args) override;
    void Put(const std::string& name, const common::HostValue& value) override;
    std::unique_ptr<Dispatcher> CallForObject(const std::string& name) override;

  private:
    Dispatcher& inner_;
    BusyPolicy& policy_;
};

// `object` (not null), owned and waited for as PatientDispatcher waits, objects it answers included.
std::unique_ptr<Dispatcher> MakePatient(std::unique_ptr<Dispatcher> object, BusyPolicy& policy);

}  // namespace host
