#include "platform/win32/com/ComPtr.h"

#include <gtest/gtest.h>

#include "TestDispatch.h"

namespace {

using win32::ComPtr;
using win32_test::TestDispatch;

TEST(ComPtrTest, CopiesAddAndDestructionReleasesReferences) {
    TestDispatch object;
    {
        const ComPtr<IDispatch> shared = object.Reference();
        EXPECT_EQ(object.References(), 2u);
        ComPtr<IDispatch> copy = shared;
        EXPECT_EQ(object.References(), 3u);
        ComPtr<IDispatch> moved = std::move(copy);
        EXPECT_EQ(copy.Get(), nullptr);
        EXPECT_EQ(object.References(), 3u);
        moved = shared;  // releases its own before taking the copy's
        EXPECT_EQ(object.References(), 3u);
        IDispatch* raw = moved.Detach();
        EXPECT_EQ(object.References(), 3u);
        auto adopted = ComPtr<IDispatch>::Adopt(raw);
        (void)adopted.Put();
        EXPECT_EQ(object.References(), 2u);
    }
    EXPECT_EQ(object.References(), 1u);
}

}  // namespace
