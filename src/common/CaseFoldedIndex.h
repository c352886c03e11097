#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace common {

// A set of texts compared ignoring letter case, as the list box's exact-match search
// compares its rows. Lets the point list answer "is this id listed?" in constant time
// instead of scanning every row. Letters are folded in the ASCII range, which covers
// every character of the host's object ids.
//
// The folded texts are kept end to end in one buffer, in the order added, and found through
// an open-addressing table of eight-byte slots (part of the text's hash and the text's
// number). A row thus costs its characters and a few bytes rather than several separate
// allocations, a lookup folds as it hashes without building a copy, and a lookup that finds
// nothing reads one slot of a table small enough to stay in cache.
class CaseFoldedIndex {
  public:
    // Adds `text`; returns false when an equal text (ignoring case) was already present.
    bool Insert(std::string_view text);
    bool Contains(std::string_view text) const;
    void Clear();
    std::size_t Size() const { return starts_.empty() ? 0 : starts_.size() - 1; }

  private:
    static std::uint64_t FoldedHash(std::string_view text);
    // Whether the entry-th text added equals `text` ignoring case.
    bool SameFolded(std::uint32_t entry, std::string_view text) const;
    // The slot holding `text`, or the empty slot where it would go.
    std::size_t Probe(std::string_view text, std::uint64_t hash) const;
    void Grow();

    // Each slot is the upper half of a text's hash above the text's number plus one; zero is
    // an empty slot. A power of two in size, at most half used.
    std::vector<std::uint64_t> slots_;
    std::string texts_;                // the folded texts end to end
    std::vector<std::size_t> starts_;  // where each text begins, then where the last ends
};

}  // namespace common
