#include "platform/win32/com/Variant.h"

#include <gtest/gtest.h>

#include "TestDispatch.h"
#include "platform/win32/com/Bstr.h"

namespace {

using win32::Variant;
using win32_test::TestDispatch;

TEST(VariantTest, MoveEmptiesTheSourceAndResetReleases) {
    TestDispatch object;
    VARIANT raw;
    ::VariantInit(&raw);
    raw.vt = VT_DISPATCH;
    raw.pdispVal = &object;
    object.AddRef();
    {
        Variant held = Variant::Adopt(raw);
        Variant moved = std::move(held);
        EXPECT_EQ(held.Type(), VT_EMPTY);
        EXPECT_EQ(object.References(), 2u);
        moved.Reset();
        EXPECT_EQ(object.References(), 1u);
    }
    EXPECT_EQ(object.References(), 1u);

    Variant text;
    VARIANT* out = text.Put();
    out->vt = VT_BSTR;
    out->bstrVal = ::SysAllocString(L"id");
    EXPECT_EQ(win32::BstrView(text.Get().bstrVal), L"id");
    VARIANT detached = text.Detach();
    EXPECT_EQ(text.Type(), VT_EMPTY);
    EXPECT_EQ(::VariantClear(&detached), S_OK);
}

}  // namespace
