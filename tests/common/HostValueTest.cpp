#include "common/HostValue.h"

#include <gtest/gtest.h>

#include <vector>

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

}  // namespace
