#include "common/CaseFoldedIndex.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

TEST(CaseFoldedIndexTest, MatchesWholeTextIgnoringCase) {
    common::CaseFoldedIndex index;
    EXPECT_TRUE(index.Insert("0A1B-c2"));
    EXPECT_FALSE(index.Insert("0a1b-C2"));
    EXPECT_TRUE(index.Contains("0A1B-C2"));
    EXPECT_FALSE(index.Contains("0A1B-C"));
    EXPECT_FALSE(index.Contains(" 0A1B-C2")) << "blanks are part of the text";
    index.Clear();
    EXPECT_FALSE(index.Contains("0A1B-c2"));
}

// Thousands of rows take the index through many rounds of growth; every row must still be
// found in any letter case, and texts that differ by one character or by length must not.
TEST(CaseFoldedIndexTest, KeepsEveryRowThroughGrowth) {
    common::CaseFoldedIndex index;
    const auto row = [](int i, bool lower = false) {
        char text[40];
        std::snprintf(text, sizeof text,
                      lower ? "%08x-4f89-41d3-9a0c-0305e82c%04x" : "%08X-4F89-41D3-9A0C-0305E82C%04X", i * 2654435761u,
                      i);
        return std::string(text);
    };
    constexpr int kRows = 5000;
    for (int i = 0; i < kRows; ++i) {
        ASSERT_TRUE(index.Insert(row(i))) << i;
    }
    EXPECT_EQ(index.Size(), static_cast<std::size_t>(kRows));
    for (int i = 0; i < kRows; ++i) {
        const std::string lower = row(i, true);
        EXPECT_TRUE(index.Contains(lower)) << i;
        EXPECT_FALSE(index.Insert(lower)) << i;
        EXPECT_FALSE(index.Contains(row(i) + " ")) << i;
        EXPECT_FALSE(index.Contains(row(i).substr(1))) << i;
        EXPECT_FALSE(index.Contains(row(kRows + i))) << i;
    }
    EXPECT_EQ(index.Size(), static_cast<std::size_t>(kRows));

    EXPECT_FALSE(index.Contains(""));
    EXPECT_TRUE(index.Insert(""));
    EXPECT_TRUE(index.Contains(""));
    EXPECT_FALSE(index.Insert(""));

    index.Clear();
    EXPECT_EQ(index.Size(), 0u);
    EXPECT_FALSE(index.Contains(row(0)));
    EXPECT_TRUE(index.Insert(row(0)));
    EXPECT_TRUE(index.Contains(row(0)));
}

}  // namespace
