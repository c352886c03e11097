#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace common {

// A host operation that failed: raised an error, could not be reached, or was called
// while no host is attached. Carries the operation's name and the host's own words.
class HostError : public std::runtime_error {
  public:
    enum class Cause {
        Raised,       // the host answered the call with an error of its own
        HostGone,     // the host process ended or stopped answering
        NotAttached,  // start-up obtained no script object to call
        Busy,         // the host turned the call away as busy (a dialog box of it may be open)
    };

    HostError(std::string operation, std::string description, Cause cause = Cause::Raised, std::int32_t code = 0);

    const std::string& Operation() const { return operation_; }
    const std::string& Description() const { return description_; }
    Cause GetCause() const { return cause_; }
    std::int32_t Code() const { return code_; }

  private:
    std::string operation_;
    std::string description_;
    Cause cause_;
    std::int32_t code_;
};

}  // namespace common
