#include "host/PatientDispatcher.h"

#include <optional>
#include <utility>

#include "common/HostError.h"

namespace host {

namespace {

// Runs `call` until it succeeds, fails otherwise than busy, or the policy gives it up. A
// question is given up from its start.
template <typename Call>
auto Patiently(BusyPolicy& policy, Call&& call, BusyPolicy::CallKind kind = BusyPolicy::CallKind::Call) {
    const BusyPolicy::CallScope scope(policy, kind);
    for (;;) {
        try {
            return call();
        } catch (const common::HostError& error) {
            if (error.GetCause() != common::HostError::Cause::Busy) {
                throw;
            }
            const std::optional<std::uint32_t> pause = policy.OnBusy();
            if (!pause) {
                throw;
            }
            if (*pause > 0) {
                policy.Platform().Pause(*pause);
            }
        }
    }
}

// Owns the wrapped object of CallForObject and waits for it the same way.
class OwningPatientDispatcher final : public Dispatcher {
  public:
    OwningPatientDispatcher(std::unique_ptr<Dispatcher> inner, BusyPolicy& policy)
        : inner_(std::move(inner)), patient_(*inner_, policy) {}

    common::HostValue Call(const std::string& name, const std::vector<common::HostValue>& args) override {
        return patient_.Call(name, args);
    }
    common::HostValue Ask(const std::string& name, const std::vector<common::HostValue>& args) override {
        return patient_.Ask(name, args);
    }
    void Put(const std::string& name, const common::HostValue& value) override { patient_.Put(name, value); }
    std::unique_ptr<Dispatcher> CallForObject(const std::string& name) override { return patient_.CallForObject(name); }

  private:
    std::unique_ptr<Dispatcher> inner_;
    PatientDispatcher patient_;
};

}  // namespace

common::HostValue PatientDispatcher::Call(const std::string& name, const std::vector<common::HostValue>& args) {
    return Patiently(policy_, [&] { return inner_.Call(name, args); });
}

common::HostValue PatientDispatcher::Ask(const std::string& name, const std::vector<common::HostValue>& args) {
    return Patiently(
        policy_, [&] { return inner_.Ask(name, args); }, BusyPolicy::CallKind::Question);
}

void PatientDispatcher::Put(const std::string& name, const common::HostValue& value) {
    Patiently(policy_, [&] { inner_.Put(name, value); });
}

std::unique_ptr<Dispatcher> PatientDispatcher::CallForObject(const std::string& name) {
    return MakePatient(Patiently(policy_, [&] { return inner_.CallForObject(name); }), policy_);
}

std::unique_ptr<Dispatcher> MakePatient(std::unique_ptr<Dispatcher> object, BusyPolicy& policy) {
    return std::make_unique<OwningPatientDispatcher>(std::move(object), policy);
}

}  // namespace host
