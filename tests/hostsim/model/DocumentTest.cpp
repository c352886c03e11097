#include "hostsim/model/Document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hostsim {
namespace {

// A generation run adds and deletes probe lines by the thousand around the objects it keeps;
// the document must keep finding every live object, forget every deleted one, and list the
// live ones in the order they were added, however often its storage is compacted.
TEST(DocumentTest, LookupsAndOrderSurviveManyAddsAndDeletes) {
    Document document(3);
    std::vector<std::string> kept;
    std::vector<std::string> deleted;
    for (int round = 0; round < 40; ++round) {
        kept.push_back(document.AddPoint({static_cast<double>(round), 0, 0}));
        for (int probe = 0; probe < 50; ++probe) {
            const std::string id = document.AddPoint({0, static_cast<double>(probe), 0});
            if (probe % 2 == 0) {
                ASSERT_TRUE(document.Delete(id));
                deleted.push_back(id);
            } else {
                kept.push_back(id);
            }
        }
        // Delete half of what this round kept, oldest first, so gaps open everywhere.
        for (int i = 0; i < 12; ++i) {
            const std::string id = kept[kept.size() - 25 + static_cast<std::size_t>(i)];
            ASSERT_TRUE(document.Delete(id));
            deleted.push_back(id);
        }
        kept.erase(kept.end() - 25, kept.end() - 13);
    }

    EXPECT_EQ(document.Count(), kept.size());
    EXPECT_EQ(document.AllIds(), kept);
    for (const std::string& id : kept) {
        const DocObject* object = document.Find(id);
        ASSERT_NE(object, nullptr) << id;
        EXPECT_EQ(object->id, id);
    }
    for (const std::string& id : deleted) {
        EXPECT_EQ(document.Find(id), nullptr) << id;
        EXPECT_FALSE(document.Delete(id)) << id;
    }
}

TEST(DocumentTest, DeletedIdMayBeAddedAgainAndLiveIdMayNot) {
    Document document(5);
    const std::string id = "3F2504E0-4F89-41D3-9A0C-0305E82C3301";
    document.AddPoint({1, 2, 3}, id);
    EXPECT_THROW(document.AddPoint({0, 0, 0}, "{3f2504e0-4f89-41d3-9a0c-0305e82c3301}"), std::invalid_argument);
    EXPECT_TRUE(document.Delete(" 3f2504e0-4f89-41d3-9a0c-0305e82c3301 "));
    EXPECT_EQ(document.Count(), 0u);
    EXPECT_EQ(document.AddPoint({4, 5, 6}, id), id);
    const DocObject* object = document.Find(id);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->point.x, 4);
    EXPECT_EQ(document.Count(), 1u);
}

TEST(DocumentTest, ClearForgetsEverythingButNotTheIdsHandedOut) {
    Document document(9);
    const std::string first = document.AddPoint({0, 0, 0});
    document.Clear();
    EXPECT_EQ(document.Count(), 0u);
    EXPECT_EQ(document.Find(first), nullptr);
    EXPECT_TRUE(document.AllIds().empty());
    const std::string second = document.AddPoint({0, 0, 0});
    EXPECT_NE(second, first);
    EXPECT_NE(document.Find(second), nullptr);
}

}  // namespace
}  // namespace hostsim
