#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hostsim {

// The canonical form of an object id: 36 characters, upper-case hexadecimal digits in groups
// of 8-4-4-4-12 separated by hyphens, without braces. Accepts the id in any letter case,
// optionally in braces, with spaces and tabs around it. Anything else names no object.
std::optional<std::string> CanonicalId(std::string_view text);

// Makes repeatable ids: the n-th id of a generator depends only on its seed and n, so tests
// can predict them; hosts with different seeds make different ids.
class IdGenerator {
  public:
    explicit IdGenerator(std::uint32_t seed) : seed_(seed) {}
    // The next id in canonical form (a version-4 layout GUID).
    std::string Next();

  private:
    std::uint32_t seed_;
    std::uint64_t counter_ = 0;
};

}  // namespace hostsim
