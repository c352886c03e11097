#include "common/CaseFoldedIndex.h"

#include <limits>
#include <stdexcept>

#include "common/AsciiCase.h"

namespace common {

namespace {

constexpr std::size_t kFirstTableSize = 64;

std::uint64_t Tag(std::uint64_t hash) {
    return hash & 0xFFFFFFFF00000000ULL;
}

std::uint32_t EntryOf(std::uint64_t slot) {
    return static_cast<std::uint32_t>(slot & 0xFFFFFFFFULL) - 1;
}

}  // namespace

std::uint64_t CaseFoldedIndex::FoldedHash(std::string_view text) {
    // FNV-1a over the folded characters, then a final mix so that the low bits, which pick
    // the slot, and the high bits, kept in it, both depend on every character.
    std::uint64_t hash = 0xCBF29CE484222325ULL;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(FoldAscii(c));
        hash *= 0x100000001B3ULL;
    }
    hash ^= hash >> 32;
    hash *= 0xD6E8FEB86659FD93ULL;
    hash ^= hash >> 32;
    return hash;
}

bool CaseFoldedIndex::SameFolded(std::uint32_t entry, std::string_view text) const {
    const std::size_t begin = starts_[entry];
    if (starts_[entry + 1] - begin != text.size()) {
        return false;
    }
    const char* stored = texts_.data() + begin;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (stored[i] != FoldAscii(text[i])) {
            return false;
        }
    }
    return true;
}

std::size_t CaseFoldedIndex::Probe(std::string_view text, std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    const std::uint64_t tag = Tag(hash);
    std::size_t i = static_cast<std::size_t>(hash) & mask;
    while (slots_[i] != 0 && !(Tag(slots_[i]) == tag && SameFolded(EntryOf(slots_[i]), text))) {
        i = (i + 1) & mask;
    }
    return i;
}

void CaseFoldedIndex::Grow() {
    slots_.assign(slots_.empty() ? kFirstTableSize : slots_.size() * 2, 0);
    const std::size_t mask = slots_.size() - 1;
    const std::size_t count = Size();
    for (std::size_t entry = 0; entry < count; ++entry) {
        // The stored texts are folded already, so their hash is the one they were added with.
        const std::string_view text(texts_.data() + starts_[entry], starts_[entry + 1] - starts_[entry]);
        const std::uint64_t hash = FoldedHash(text);
        std::size_t i = static_cast<std::size_t>(hash) & mask;
        while (slots_[i] != 0) {
            i = (i + 1) & mask;
        }
        slots_[i] = Tag(hash) | (entry + 1);
    }
}

bool CaseFoldedIndex::Insert(std::string_view text) {
    const std::size_t count = Size();
    if (count + 1 >= std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("CaseFoldedIndex: too many texts");
    }
    if ((count + 1) * 2 > slots_.size()) {
        Grow();
    }
    const std::uint64_t hash = FoldedHash(text);
    const std::size_t i = Probe(text, hash);
    if (slots_[i] != 0) {
        return false;
    }
    if (starts_.empty()) {
        starts_.push_back(0);
    }
    for (const char c : text) {
        texts_.push_back(FoldAscii(c));
    }
    starts_.push_back(texts_.size());
    slots_[i] = Tag(hash) | (count + 1);
    return true;
}

bool CaseFoldedIndex::Contains(std::string_view text) const {
    if (Size() == 0) {
        return false;
    }
    return slots_[Probe(text, FoldedHash(text))] != 0;
}

void CaseFoldedIndex::Clear() {
    // Gives the memory back: the list may have held tens of thousands of rows.
    slots_ = std::vector<std::uint64_t>();
    texts_ = std::string();
    starts_ = std::vector<std::size_t>();
}

}  // namespace common
