#include "hostsim/model/ObjectId.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>

namespace hostsim {
namespace {

using namespace std::literals;

TEST(ObjectIdTest, CanonicalFormOfAcceptedSpellings) {
    static const struct {
        std::string_view text;
        const char* expected;  // null: names no object
    } kCases[] = {
        {"3F2504E0-4F89-41D3-9A0C-0305E82C3301"sv, "3F2504E0-4F89-41D3-9A0C-0305E82C3301"},
        {"3f2504e0-4f89-41d3-9a0c-0305e82c3301"sv, "3F2504E0-4F89-41D3-9A0C-0305E82C3301"},
        {"{3F2504E0-4F89-41D3-9A0C-0305E82C3301}"sv, "3F2504E0-4F89-41D3-9A0C-0305E82C3301"},
        {"  {3f2504E0-4F89-41D3-9A0C-0305E82C3301}\t"sv, "3F2504E0-4F89-41D3-9A0C-0305E82C3301"},
        {""sv, nullptr},
        {"   "sv, nullptr},
        {"3F2504E0-4F89-41D3-9A0C-0305E82C330"sv, nullptr},
        {"3F2504E0-4F89-41D3-9A0C-0305E82C33011"sv, nullptr},
        {"3F2504E04F8941D39A0C0305E82C3301"sv, nullptr},
        {"3F2504E0-4F89-41D3-9A0C_0305E82C3301"sv, nullptr},
        {"3G2504E0-4F89-41D3-9A0C-0305E82C3301"sv, nullptr},
        {"{3F2504E0-4F89-41D3-9A0C-0305E82C3301"sv, nullptr},
        {"(3F2504E0-4F89-41D3-9A0C-0305E82C3301)"sv, nullptr},
        {"3F2504E0-4F89-41D3-9A0C-0305E82C3301\n"sv, nullptr},
        // The characters on either side of each run of digits.
        {"3F2504E0-4F89-41D3-9A0C-0305E82C330/"sv, nullptr},
        {"3F2504E0-4F89-41D3-9A0C-0305E82C330:"sv, nullptr},
        {"3F2504E0-4F89-41D3-9A0C-0305E82C330@"sv, nullptr},
        {"3F2504E0-4F89-41D3-9A0C-0305E82C330G"sv, nullptr},
        {"3F2504E0-4F89-41D3-9A0C-0305E82C330`"sv, nullptr},
        {"3F2504E0-4F89-41D3-9A0C-0305E82C330g"sv, nullptr},
        {"\xC3\x89"
         "2504E0-4F89-41D3-9A0C-0305E82C3301"sv,
         nullptr},
        {"3F2504E0-4F89-41D3-9A0C-0305E82C33\0"
         "1"sv,
         nullptr},
        {"01234567-89ab-cdef-ABCD-EF0123456789"sv, "01234567-89AB-CDEF-ABCD-EF0123456789"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.text);
        const auto id = CanonicalId(c.text);
        if (c.expected == nullptr) {
            EXPECT_FALSE(id.has_value());
        } else {
            ASSERT_TRUE(id.has_value());
            EXPECT_EQ(*id, c.expected);
        }
    }
}

TEST(ObjectIdTest, KeyAndTextRoundTrip) {
    const std::optional<ObjectKey> key = ParseObjectKey("{01234567-89ab-cdef-0123-456789ABCDEF}");
    ASSERT_TRUE(key.has_value());
    EXPECT_EQ(key->high, 0x0123456789ABCDEFULL);
    EXPECT_EQ(key->low, 0x0123456789ABCDEFULL);
    EXPECT_EQ(ObjectKeyText(*key), "01234567-89AB-CDEF-0123-456789ABCDEF");
    EXPECT_EQ(ObjectKeyText(ObjectKey{~0ULL, 0}), "FFFFFFFF-FFFF-FFFF-0000-000000000000");
}

TEST(ObjectIdTest, GeneratedIdsAreCanonicalRepeatableAndDistinct) {
    IdGenerator first(7);
    IdGenerator again(7);
    IdGenerator other(8);
    std::set<std::string> seen;
    for (int i = 0; i < 1000; ++i) {
        const std::string id = first.Next();
        EXPECT_EQ(CanonicalId(id), id);
        EXPECT_EQ(again.Next(), id);
        EXPECT_NE(other.Next(), id);
        EXPECT_TRUE(seen.insert(id).second);
    }
}

}  // namespace
}  // namespace hostsim
