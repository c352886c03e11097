#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hostsim {

// The 128 bits an object id's 32 hexadecimal digits spell: the document's key for an object,
// so finding one costs a hash of two words rather than a text comparison.
struct ObjectKey {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    friend bool operator==(const ObjectKey&, const ObjectKey&) = default;
};

struct ObjectKeyHash {
    std::size_t operator()(const ObjectKey& key) const noexcept {
        return static_cast<std::size_t>(key.high ^ (key.low * 0x9E3779B97F4A7C15ULL));
    }
};

// The key of an id in any form CanonicalId accepts, or nullopt where it refuses the text.
std::optional<ObjectKey> ParseObjectKey(std::string_view text);

// The canonical text of a key.
std::string ObjectKeyText(ObjectKey key);

// The canonical form of an object id: 36 characters, upper-case hexadecimal digits in groups
// of 8-4-4-4-12 separated by hyphens, without braces. Accepts the id in any letter case,
// optionally in braces, with spaces and tabs around it. Anything else names no object.
std::optional<std::string> CanonicalId(std::string_view text);

// Makes repeatable ids: the n-th id of a generator depends only on its seed and n, so tests
// can predict them; hosts with different seeds make different ids.
class IdGenerator {
  public:
    explicit IdGenerator(std::uint32_t seed) : seed_(seed) {}
    // The next id (a version-4 layout GUID).
    ObjectKey NextKey();
    // The next id in canonical form.
    std::string Next() { return ObjectKeyText(NextKey()); }

  private:
    std::uint32_t seed_;
    std::uint64_t counter_ = 0;
};

}  // namespace hostsim
