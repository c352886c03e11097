#include "hostsim/model/Value.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace hostsim {
namespace {

TEST(ValueTest, TwoDimensionalArrayIsRowMajorWithFirstIndexSlowest) {
    std::vector<Value> cells;
    for (int i = 0; i < 6; ++i) {
        cells.push_back(Value::Int32(i));
    }
    const Value array = Value::Array({ArrayBound{0, 2}, ArrayBound{1, 3}}, cells);
    EXPECT_EQ(array.At({0, 1}).AsInt32(), 0);
    EXPECT_EQ(array.At({0, 3}).AsInt32(), 2);
    EXPECT_EQ(array.At({1, 1}).AsInt32(), 3);
    EXPECT_EQ(array.At({1, 3}).AsInt32(), 5);
    EXPECT_THROW(array.At({2, 1}), std::out_of_range);
    EXPECT_THROW(array.At({0, 0}), std::out_of_range);
    EXPECT_THROW(array.At({0}), std::out_of_range);
}

TEST(ValueTest, ArrayBoundsMustMatchElementCount) {
    EXPECT_THROW(Value::Array({ArrayBound{0, 2}, ArrayBound{0, 2}}, {Value::Null()}), std::invalid_argument);
    EXPECT_THROW(Value::Array(std::vector<ArrayBound>{}, {}), std::invalid_argument);
}

TEST(ValueTest, AccessorOfAnotherKindThrows) {
    EXPECT_THROW(Value::Int16(3).AsInt32(), std::logic_error);
    EXPECT_THROW(Value::Null().AsString(), std::logic_error);
    EXPECT_THROW(Value::String("x").Elements(), std::logic_error);
}

TEST(ValueTest, TextRendersEveryKind) {
    static const struct {
        const char* name;
        Value value;
        const char* expected;
    } kCases[] = {
        {"empty", Value::Empty(), "Empty"},
        {"null", Value::Null(), "Null"},
        {"bool", Value::Bool(true), "Bool true"},
        {"int16", Value::Int16(-5000), "Int16 -5000"},
        {"int32", Value::Int32(7), "Int32 7"},
        {"double", Value::Double(0.1), "Double 0.1"},
        {"string escapes", Value::String("a\"b\\c"), "String \"a\\\"b\\\\c\""},
        {"point", Value::Point(1, 2.5, -3), "Array[0:3]{Double 1; Double 2.5; Double -3}"},
        {"2-D", Value::Array({ArrayBound{0, 1}, ArrayBound{1, 2}}, {Value::Int16(1), Value::Null()}),
         "Array[0:1,1:2]{Int16 1; Null}"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.value.Text(), c.expected);
    }
}

TEST(ValueTest, EqualityComparesKindAndPayload) {
    EXPECT_EQ(Value::Point(1, 2, 3), Value::Point(1, 2, 3));
    EXPECT_NE(Value::Int16(1), Value::Int32(1));
    EXPECT_NE(Value::Null(), Value::Empty());
    EXPECT_EQ(Value::Int16(4).Number(), 4.0);
    EXPECT_FALSE(Value::String("4").Number().has_value());
}

}  // namespace
}  // namespace hostsim
