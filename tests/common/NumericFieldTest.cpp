#include "common/NumericField.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace common {
namespace {

TEST(NumericFieldTest, ReadsLongestLeadingNumber) {
    static const struct {
        const char* name;
        std::string text;
        double expected;
    } kCases[] = {
        {"empty", "", 0},
        {"only blanks", "  \t\n ", 0},
        {"letter first", "abc", 0},
        {"letter before digits", "x5", 0},
        {"zero", "0", 0},
        {"integer", "5", 5},
        {"default step", " 5 ", 5},
        {"fraction", "2.5", 2.5},
        {"plus sign", "+3", 3},
        {"negative", "-7", -7},
        {"negative below 1", "-.5", -0.5},
        {"no integer digits", ".25", 0.25},
        {"trailing point", "5.", 5},
        {"lone point", ".", 0},
        {"lone sign", "-", 0},
        {"sign and point", "-.", 0},
        {"two signs", "--5", 0},
        {"sign after number", "5-3", 5},
        {"letters after digits", "12abc", 12},
        {"second point stops", "1.2.3", 1.2},
        {"comma is no separator", "1,5", 1},
        {"blanks inside", " 1 2 . 5", 12.5},
        {"tabs and line feeds inside", "\t1\n2\n.\t5\n", 12.5},
        {"carriage return ends the number", "1\r2", 1},
        {"blank between sign and digits", "- 4", -4},
        {"exponent", "1.5e3", 1500},
        {"capital exponent", "2E-2", 0.02},
        {"exponent with plus", "3e+2", 300},
        {"blanks inside exponent", "1 e - 2", 0.01},
        {"exponent without digits", "5e", 5},
        {"exponent sign without digits", "5e+", 5},
        {"exponent then letter", "5ex", 5},
        {"exponent on lone point", ".e5", 0},
        {"D is no exponent", "1D2", 1},
        {"tiny", "1e-300", 1e-300},
        {"subnormal kept", "4e-320", 4e-320},
        {"long fraction", "0.1000000000000000000000000000001", 0.1},
        {"hex", "&HFFFF", 65535},
        {"hex lower case", "&hff", 255},
        {"hex 32 bits", "&HFFFFFFFF", 4294967295.0},
        {"hex stops at non-digit", "&H1G", 1},
        {"hex without digits", "&H", 0},
        {"hex with blanks", " & H 1 0", 16},
        {"octal", "&O17", 15},
        {"octal lower case", "&o777", 511},
        {"octal stops at 8", "&O78", 7},
        {"ampersand alone", "&", 0},
        {"ampersand with digits", "&12", 0},
        {"sign before hex", "-&H10", 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_DOUBLE_EQ(ReadNumericField(c.text), c.expected);
    }
}

TEST(NumericFieldTest, OutOfRangeReadsAsPositiveZero) {
    static const struct {
        const char* name;
        std::string text;
    } kCases[] = {
        {"overflow", "1e999"},
        {"negative overflow", "-1e999"},
        {"overflow by digits", "1" + std::string(400, '0')},
        {"hex overflow", "&H" + std::string(300, 'F')},
        {"underflow", "1e-400"},
        {"negative zero", "-0"},
        {"negative zero fraction", "-0.000"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const double value = ReadNumericField(c.text);
        EXPECT_EQ(value, 0);
        EXPECT_FALSE(std::signbit(value));
    }
}

TEST(NumericFieldTest, ExtremesWithinRangeAreKept) {
    EXPECT_EQ(ReadNumericField("1.7976931348623157e308"), std::numeric_limits<double>::max());
    EXPECT_EQ(ReadNumericField("-1.7976931348623157e308"), -std::numeric_limits<double>::max());
    EXPECT_EQ(ReadNumericField("0.1"), 0.1);  // correctly rounded, not accumulated digit by digit
}

}  // namespace
}  // namespace common
