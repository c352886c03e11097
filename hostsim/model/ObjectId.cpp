#include "hostsim/model/ObjectId.h"

#include <array>

namespace hostsim {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The value of each hexadecimal digit in either letter case; -1 for every other character.
constexpr std::array<std::int8_t, 256> kHexValue = [] {
    std::array<std::int8_t, 256> table{};
    table.fill(-1);
    for (std::size_t d = 0; d < 10; ++d) {
        table['0' + d] = static_cast<std::int8_t>(d);
    }
    for (std::size_t d = 0; d < 6; ++d) {
        table['a' + d] = static_cast<std::int8_t>(10 + d);
        table['A' + d] = static_cast<std::int8_t>(10 + d);
    }
    return table;
}();

bool IsHyphenPosition(std::size_t i) {
    return i == 8 || i == 13 || i == 18 || i == 23;
}

std::uint64_t SplitMix64(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

}  // namespace

std::optional<ObjectKey> ParseObjectKey(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    if (text.size() == 38 && text.front() == '{' && text.back() == '}') {
        text = text.substr(1, 36);
    }
    if (text.size() != 36) {
        return std::nullopt;
    }
    // Each digit is read through a table rather than tested against ranges: the digits of an
    // id are random, so range tests would be mispredicted on most of them.
    ObjectKey key;
    bool malformed = false;
    int digits = 0;
    for (std::size_t i = 0; i < 36; ++i) {
        const char c = text[i];
        if (IsHyphenPosition(i)) {
            malformed |= c != '-';
            continue;
        }
        const std::int8_t nibble = kHexValue[static_cast<unsigned char>(c)];
        malformed |= nibble < 0;
        std::uint64_t& word = digits < 16 ? key.high : key.low;
        word = (word << 4) | static_cast<std::uint64_t>(nibble & 0xF);
        ++digits;
    }
    if (malformed) {
        return std::nullopt;
    }
    return key;
}

std::string ObjectKeyText(ObjectKey key) {
    std::string id;
    id.reserve(36);
    for (int i = 0; i < 32; ++i) {
        if (IsHyphenPosition(id.size())) {
            id += '-';
        }
        const std::uint64_t word = i < 16 ? key.high : key.low;
        const int shift = 60 - 4 * (i % 16);
        id += kHexDigits[(word >> shift) & 0xF];
    }
    return id;
}

std::optional<std::string> CanonicalId(std::string_view text) {
    const std::optional<ObjectKey> key = ParseObjectKey(text);
    if (!key) {
        return std::nullopt;
    }
    return ObjectKeyText(*key);
}

ObjectKey IdGenerator::NextKey() {
    ++counter_;
    const std::uint64_t base = (static_cast<std::uint64_t>(seed_) << 32) ^ counter_;
    std::uint64_t high = SplitMix64(base);
    std::uint64_t low = SplitMix64(base ^ 0xA5A5A5A5A5A5A5A5ULL);
    // Version 4 and the RFC 4122 variant, so the ids look like those the host makes.
    high = (high & ~0xF000ULL) | 0x4000ULL;
    low = (low & ~(0xC0ULL << 56)) | (0x80ULL << 56);
    return ObjectKey{high, low};
}

}  // namespace hostsim
