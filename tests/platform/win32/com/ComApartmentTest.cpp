#include "platform/win32/com/ComApartment.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/win32/base/Win32Error.h"

namespace {

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

}  // namespace
