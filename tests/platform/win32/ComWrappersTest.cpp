#include <gtest/gtest.h>

#include <thread>

#include "TestDispatch.h"
#include "platform/win32/Bstr.h"
#include "platform/win32/ComApartment.h"
#include "platform/win32/ComPtr.h"
#include "platform/win32/TextConversion.h"
#include "platform/win32/Variant.h"
#include "platform/win32/Win32Error.h"

namespace {

using win32::Bstr;
using win32::ComPtr;
using win32::Variant;
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

TEST(BstrTest, KeepsTextByLengthAndConvertsUtf8) {
    static const struct {
        const char* name;
        std::string utf8;
        std::wstring wide;
    } kCases[] = {
        {"ascii", "Curtate", L"Curtate"},
        {"empty", "", L""},
        {"accents and euro", "r\xC3\xA9sum\xC3\xA9 \xE2\x82\xAC", L"r\u00E9sum\u00E9 \u20AC"},
        {"outside the BMP", "\xF0\x9F\x93\x90", L"\U0001F4D0"},
        {"embedded NUL", std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(win32::Utf8ToWide(c.utf8), c.wide);
        EXPECT_EQ(win32::WideToUtf8(c.wide), c.utf8);
        const Bstr b = Bstr::FromUtf8(c.utf8);
        EXPECT_EQ(b.View(), c.wide);
        EXPECT_EQ(b.ToUtf8(), c.utf8);
    }
    EXPECT_EQ(win32::Utf8ToWide("\xFF" "x"), L"\uFFFDx");
    EXPECT_EQ(Bstr::FromUtf8("\xFF" "x").View(), L"\uFFFDx");
    EXPECT_NE(Bstr::FromUtf8("").Get(), nullptr) << "an empty text is an empty BSTR, not a null one";
    // A command-sized text, converted straight into the BSTR: every unit is there, no more.
    const std::string big = std::string(1 << 20, '7') + "\xE2\x82\xAC";
    const Bstr bigBstr = Bstr::FromUtf8(big);
    ASSERT_EQ(bigBstr.View().size(), (1u << 20) + 1);
    EXPECT_EQ(::SysStringLen(bigBstr.Get()), (1u << 20) + 1);
    EXPECT_EQ(bigBstr.View().back(), L'\u20AC');
    EXPECT_EQ(bigBstr.ToUtf8(), big);
    Bstr moved = Bstr(L"x");
    Bstr target = std::move(moved);
    EXPECT_EQ(moved.Get(), nullptr);
    EXPECT_EQ(target.View(), L"x");
    EXPECT_EQ(Bstr().View(), L"");
}

TEST(VariantTest, CopyIsDeepAndMoveEmptiesTheSource) {
    TestDispatch object;
    VARIANT raw;
    ::VariantInit(&raw);
    raw.vt = VT_DISPATCH;
    raw.pdispVal = &object;
    object.AddRef();
    {
        Variant held = Variant::Adopt(raw);
        const Variant copy = held.Copy();
        EXPECT_EQ(object.References(), 3u);
        Variant moved = std::move(held);
        EXPECT_EQ(held.Type(), VT_EMPTY);
        EXPECT_EQ(object.References(), 3u);
        moved.Reset();
        EXPECT_EQ(object.References(), 2u);
    }
    EXPECT_EQ(object.References(), 1u);

    Variant text;
    VARIANT* out = text.Put();
    out->vt = VT_BSTR;
    out->bstrVal = ::SysAllocString(L"id");
    const Variant copy = text.Copy();
    EXPECT_NE(copy.Get().bstrVal, text.Get().bstrVal);
    EXPECT_EQ(win32::BstrView(copy.Get().bstrVal), L"id");
    VARIANT detached = text.Detach();
    EXPECT_EQ(text.Type(), VT_EMPTY);
    EXPECT_EQ(::VariantClear(&detached), S_OK);
}

// CoInitializeEx(MTA) on a thread answers S_OK only when the thread is in no apartment,
// and RPC_E_CHANGED_MODE while it is still in a single-threaded one.
HRESULT ProbeMultithreaded() {
    const HRESULT hr = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(hr)) {
        ::CoUninitialize();
    }
    return hr;
}

TEST(ComApartmentTest, NestedApartmentsBalanceTheirInitializeCalls) {
    HRESULT afterNested = E_FAIL;
    HRESULT afterAll = E_FAIL;
    std::thread worker([&] {
        {
            const win32::ComApartment outer;
            {
                const win32::ComApartment inner;  // S_FALSE: counted, so uninitialized too
            }
            afterNested = ProbeMultithreaded();
        }
        afterAll = ProbeMultithreaded();
    });
    worker.join();
    EXPECT_EQ(afterNested, RPC_E_CHANGED_MODE);
    EXPECT_EQ(afterAll, S_OK);
}

TEST(ComApartmentTest, FailedInitializeIsNotUndone) {
    bool threw = false;
    HRESULT stillInitialized = E_FAIL;
    std::thread worker([&] {
        ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        try {
            const win32::ComApartment wrongModel(COINIT_APARTMENTTHREADED);
        } catch (const win32::Win32Error& e) {
            threw = e.Code() == static_cast<std::uint32_t>(RPC_E_CHANGED_MODE);
        }
        stillInitialized = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(stillInitialized)) {
            ::CoUninitialize();
        }
        ::CoUninitialize();
    });
    worker.join();
    EXPECT_TRUE(threw);
    EXPECT_EQ(stillInitialized, S_FALSE);
}

TEST(Win32ErrorTest, CarriesApiCodeSystemTextAndPlace) {
    try {
        win32::ThrowLastErrorIf(::GetFileAttributesW(L"Z:\\no\\such\\curtate\\file") == INVALID_FILE_ATTRIBUTES,
                                "GetFileAttributesW");
        ADD_FAILURE() << "no error";
    } catch (const win32::Win32Error& e) {
        EXPECT_EQ(e.Api(), "GetFileAttributesW");
        EXPECT_TRUE(e.Code() == ERROR_PATH_NOT_FOUND || e.Code() == ERROR_FILE_NOT_FOUND) << e.Code();
        EXPECT_EQ(std::string(e.what()).rfind("GetFileAttributesW failed: 0x0000000", 0), 0u) << e.what();
        EXPECT_NE(std::string(e.what()).find("ComWrappersTest.cpp:"), std::string::npos) << e.what();
    }
    EXPECT_NO_THROW(win32::ThrowIfFailed(S_FALSE, "success"));
    EXPECT_THROW(win32::ThrowIfFailed(E_OUTOFMEMORY, "failure"), win32::Win32Error);
    EXPECT_FALSE(win32::SystemMessage(static_cast<std::uint32_t>(E_OUTOFMEMORY)).empty());
}

}  // namespace
