#include "common/NumberText.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace common {
namespace {

TEST(NumberTextTest, ErrorCodesReadAsEightUpperCaseHexDigits) {
    static const struct {
        std::uint32_t code;
        const char* text;
    } kCases[] = {
        {0x80004005u, "0x80004005"}, {0x800401E3u, "0x800401E3"}, {5u, "0x00000005"},
        {0u, "0x00000000"},          {0xFFFFFFFFu, "0xFFFFFFFF"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(HexCodeText(c.code), c.text);
    }
}

}  // namespace
}  // namespace common
