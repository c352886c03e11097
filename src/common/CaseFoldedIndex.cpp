#include "common/CaseFoldedIndex.h"

namespace common {

std::string CaseFoldedIndex::Fold(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return folded;
}

bool CaseFoldedIndex::Insert(std::string_view text) {
    return folded_.insert(Fold(text)).second;
}

bool CaseFoldedIndex::Contains(std::string_view text) const {
    return folded_.count(Fold(text)) != 0;
}

}  // namespace common
