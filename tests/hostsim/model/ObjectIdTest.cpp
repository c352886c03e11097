#include "hostsim/model/ObjectId.h"

#include <gtest/gtest.h>

#include <set>

namespace hostsim {
namespace {

TEST(ObjectIdTest, CanonicalFormOfAcceptedSpellings) {
    static const struct {
        const char* text;
        const char* expected;  // null: names no object
    } kCases[] = {
        {"3F2504E0-4F89-41D3-9A0C-0305E82C3301", "3F2504E0-4F89-41D3-9A0C-0305E82C3301"},
        {"3f2504e0-4f89-41d3-9a0c-0305e82c3301", "3F2504E0-4F89-41D3-9A0C-0305E82C3301"},
        {"{3F2504E0-4F89-41D3-9A0C-0305E82C3301}", "3F2504E0-4F89-41D3-9A0C-0305E82C3301"},
        {"  {3f2504E0-4F89-41D3-9A0C-0305E82C3301}\t", "3F2504E0-4F89-41D3-9A0C-0305E82C3301"},
        {"", nullptr},
        {"   ", nullptr},
        {"3F2504E0-4F89-41D3-9A0C-0305E82C330", nullptr},
        {"3F2504E0-4F89-41D3-9A0C-0305E82C33011", nullptr},
        {"3F2504E04F8941D39A0C0305E82C3301", nullptr},
        {"3F2504E0-4F89-41D3-9A0C_0305E82C3301", nullptr},
        {"3G2504E0-4F89-41D3-9A0C-0305E82C3301", nullptr},
        {"{3F2504E0-4F89-41D3-9A0C-0305E82C3301", nullptr},
        {"(3F2504E0-4F89-41D3-9A0C-0305E82C3301)", nullptr},
        {"3F2504E0-4F89-41D3-9A0C-0305E82C3301\n", nullptr},
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
