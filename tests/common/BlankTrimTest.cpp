#include "common/BlankTrim.h"

#include <gtest/gtest.h>

namespace common {
namespace {

TEST(BlankTrimTest, RemovesOnlyOuterSpaces) {
    static const struct {
        const char* name;
        const char* text;
        const char* expected;
    } kCases[] = {
        {"empty", "", ""},
        {"only spaces", "   ", ""},
        {"untouched", "abc", "abc"},
        {"leading and trailing", "  ab c  ", "ab c"},
        {"inner spaces kept", "a  b", "a  b"},
        {"tabs kept", "\tab\t", "\tab\t"},
        {"line feed kept outside spaces", " \nid\r\n ", "\nid\r\n"},
        {"single character", " x ", "x"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TrimBlanks(c.text), c.expected);
    }
}

}  // namespace
}  // namespace common
