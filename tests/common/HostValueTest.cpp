#include "common/HostValue.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/CaseFoldedIndex.h"

namespace {

using common::HostValue;

TEST(HostValueTest, TwoDimensionalElementsFollowSubscriptOrder) {
    std::vector<HostValue> elements;
    for (int i = 0; i < 6; ++i) {
        elements.push_back(HostValue::Int32(i));
    }
    // Two rows of three, rows numbered from 1 and columns from 0.
    const HostValue array = HostValue::Array(elements, {{1, 2}, {0, 3}});
    ASSERT_NE(array.At({1, 0}), nullptr);
    EXPECT_EQ(array.At({1, 0})->number, 0);
    EXPECT_EQ(array.At({1, 2})->number, 2);
    EXPECT_EQ(array.At({2, 1})->number, 4);
    EXPECT_EQ(array.At({0, 0}), nullptr);
    EXPECT_EQ(array.At({2, 3}), nullptr);
    EXPECT_EQ(array.At({1}), nullptr) << "wrong number of subscripts";
    EXPECT_EQ(HostValue::Null().At({0}), nullptr);
}

TEST(HostValueTest, DescribeNamesKindsAndWidths) {
    EXPECT_EQ(HostValue::Array({HostValue::Int16(4), HostValue::Int32(-5000), HostValue::Double(0.5),
                                HostValue::String("x"), HostValue::Null(), HostValue::Bool(true)})
                  .Describe(),
              "A(I2:4,I4:-5000,R8:0.5,S:\"x\",Null,Bool:true)");
}

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
    const auto row = [](int i) {
        char text[40];
        std::snprintf(text, sizeof text, "%08X-4F89-41D3-9A0C-0305E82C%04X", i * 2654435761u, i);
        return std::string(text);
    };
    constexpr int kRows = 5000;
    for (int i = 0; i < kRows; ++i) {
        ASSERT_TRUE(index.Insert(row(i))) << i;
    }
    EXPECT_EQ(index.Size(), static_cast<std::size_t>(kRows));
    for (int i = 0; i < kRows; ++i) {
        const std::string lower = common::CaseFoldedIndex::Fold(row(i));
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
