#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

namespace common {

// A set of texts compared ignoring letter case, as the list box's exact-match search
// compares its rows. Lets the point list answer "is this id listed?" in constant time
// instead of scanning every row. Letters are folded in the ASCII range, which covers
// every character of the host's object ids.
class CaseFoldedIndex {
public:
    // Adds `text`; returns false when an equal text (ignoring case) was already present.
    bool Insert(std::string_view text);
    bool Contains(std::string_view text) const;
    void Clear() { folded_.clear(); }
    std::size_t Size() const { return folded_.size(); }

    static std::string Fold(std::string_view text);

private:
    std::unordered_set<std::string> folded_;
};

}  // namespace common
