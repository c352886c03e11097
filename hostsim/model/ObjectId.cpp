#include "hostsim/model/ObjectId.h"

namespace hostsim {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

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

std::optional<std::string> CanonicalId(std::string_view text) {
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
    std::string id(36, '-');
    for (std::size_t i = 0; i < 36; ++i) {
        const char c = text[i];
        if (IsHyphenPosition(i)) {
            if (c != '-') {
                return std::nullopt;
            }
            continue;
        }
        if (c >= '0' && c <= '9') {
            id[i] = c;
        } else if (c >= 'a' && c <= 'f') {
            id[i] = static_cast<char>(c - 'a' + 'A');
        } else if (c >= 'A' && c <= 'F') {
            id[i] = c;
        } else {
            return std::nullopt;
        }
    }
    return id;
}

std::string IdGenerator::Next() {
    ++counter_;
    const std::uint64_t base = (static_cast<std::uint64_t>(seed_) << 32) ^ counter_;
    std::uint64_t high = SplitMix64(base);
    std::uint64_t low = SplitMix64(base ^ 0xA5A5A5A5A5A5A5A5ULL);
    // Version 4 and the RFC 4122 variant, so the ids look like those the host makes.
    high = (high & ~0xF000ULL) | 0x4000ULL;
    low = (low & ~(0xC0ULL << 56)) | (0x80ULL << 56);
    std::string id;
    id.reserve(36);
    for (int i = 0; i < 32; ++i) {
        if (IsHyphenPosition(id.size())) {
            id += '-';
        }
        const std::uint64_t word = i < 16 ? high : low;
        const int shift = 60 - 4 * (i % 16);
        id += kHexDigits[(word >> shift) & 0xF];
    }
    return id;
}

}  // namespace hostsim
