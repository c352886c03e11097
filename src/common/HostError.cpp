#include "common/HostError.h"

#include <utility>

namespace common {

HostError::HostError(std::string operation, std::string description, Cause cause, std::int32_t code)
    : std::runtime_error(operation + ": " + description),
      operation_(std::move(operation)),
      description_(std::move(description)),
      cause_(cause),
      code_(code) {}

}  // namespace common
