#include "platform/win32/com/ComPtr.h"

#include <gtest/gtest.h>

#include "TestDispatch.h"

namespace {

using win32::ComPtr;
using win32_test::TestDispatch;

TEST(ComPtrTest, CopiesAddAndDestructionReleasesReferences) {
    TestDispatch object;
    {
        const auto shared = ComPtr<IDispatch>::Share(&object);
        EXPECT_EQ(object.References(), 2u);
        ComPtr<IDispatch> copy = shared;
        EXPECT_EQ(object.References(), 3u);
        ComPtr<IDispatch> moved = std::move(copy);
        EXPECT_EQ(copy.Get(), nullptr);
        EXPECT_EQ(object.References(), 3u);
        ComPtr<IUnknown> unknown;
        EXPECT_EQ(shared.As(IID_IUnknown, unknown), S_OK);
        EXPECT_EQ(object.References(), 4u);
        ComPtr<IUnknown> none;
        EXPECT_EQ(shared.As(IID_IClassFactory, none), E_NOINTERFACE);
        EXPECT_EQ(none.Get(), nullptr);
        moved = shared;  // releases its own before taking the copy's
        EXPECT_EQ(object.References(), 4u);
        IDispatch* raw = moved.Detach();
        EXPECT_EQ(object.References(), 4u);
        auto adopted = ComPtr<IDispatch>::Adopt(raw);
        (void)adopted.Put();
        EXPECT_EQ(object.References(), 3u);
    }
    EXPECT_EQ(object.References(), 1u);
}

}  // namespace
