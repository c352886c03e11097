#include "platform/win32/base/UniqueHandle.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

namespace {

// Fake handles: small integers, -1 invalid, closing logged.
std::vector<int> gClosed;

struct FakeTraits {
    using Handle = int;
    static Handle Invalid() noexcept { return -1; }
    static bool IsValid(Handle h) noexcept { return h != -1; }
    static void Close(Handle h) noexcept { gClosed.push_back(h); }
};
using FakeHandle = win32::UniqueHandle<FakeTraits>;

static_assert(!std::is_copy_constructible_v<FakeHandle>);
static_assert(!std::is_copy_assignable_v<FakeHandle>);
static_assert(std::is_nothrow_move_constructible_v<FakeHandle>);
static_assert(!std::is_convertible_v<FakeHandle, int>);
static_assert(!std::is_convertible_v<int, FakeHandle>);

TEST(UniqueHandleTest, ClosesEachValidHandleExactlyOnce) {
    gClosed.clear();
    {
        FakeHandle a(3);
        FakeHandle b(std::move(a));
        EXPECT_FALSE(a.IsValid());
        EXPECT_EQ(b.Get(), 3);
        FakeHandle c(4);
        c = std::move(b);  // closes 4, takes 3
        EXPECT_EQ(gClosed, (std::vector<int>{4}));
        c = std::move(c);  // self-move keeps it
        EXPECT_EQ(c.Get(), 3);
        FakeHandle none;
        EXPECT_EQ(none.Get(), -1);
    }
    EXPECT_EQ(gClosed, (std::vector<int>{4, 3}));
}

TEST(UniqueHandleTest, ResetDetachAndPutFollowOneVocabulary) {
    gClosed.clear();
    FakeHandle h(1);
    h.Reset(2);
    EXPECT_EQ(gClosed, (std::vector<int>{1}));
    const int detached = h.Detach();
    EXPECT_EQ(detached, 2);
    EXPECT_FALSE(h.IsValid());
    h.Reset(5);
    int* out = h.Put();  // frees 5 before the out-parameter is written
    EXPECT_EQ(gClosed, (std::vector<int>{1, 5}));
    *out = 6;
    EXPECT_EQ(h.Get(), 6);
    h.Reset();
    h.Reset();  // nothing left to close
    EXPECT_EQ(gClosed, (std::vector<int>{1, 5, 6}));
}

TEST(UniqueHandleTest, ProcessHandleIsClosedByTheWrapper) {
    win32::UniqueProcessHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, ::GetCurrentProcessId()));
    ASSERT_TRUE(process.IsValid());
    const HANDLE raw = process.Get();
    DWORD flags = 0;
    EXPECT_TRUE(::GetHandleInformation(raw, &flags));
    process.Reset();
    EXPECT_FALSE(::GetHandleInformation(raw, &flags));
}

TEST(UniqueHandleTest, InvalidValuesFollowEachKindsContract) {
    const win32::UniqueSnapshotHandle snapshot;
    EXPECT_EQ(snapshot.Get(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(snapshot.IsValid());
    const win32::UniqueProcessHandle process;
    EXPECT_EQ(process.Get(), nullptr);
    // A failed OpenProcess gives null, which owns nothing.
    const win32::UniqueProcessHandle failed(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, 0xFFFFFFF0));
    EXPECT_FALSE(failed.IsValid());
}

TEST(UniqueHandleTest, GdiObjectsAndDcsAreFreedAfterTheSelectionIsUndone) {
    win32::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc.IsValid());
    win32::UniqueGdiObject pen(::CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
    ASSERT_TRUE(pen.IsValid());
    const HGDIOBJ before = ::GetCurrentObject(dc.Get(), OBJ_PEN);
    {
        const win32::SelectionScope selection(dc.Get(), pen.Get());
        EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_PEN), pen.Get());
    }
    EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_PEN), before);
    const HGDIOBJ raw = pen.Get();
    pen.Reset();
    EXPECT_EQ(::GetObjectType(raw), 0u);  // deleted

    auto screen = win32::HwndGetDc(nullptr);
    EXPECT_TRUE(screen.IsValid());
}

}  // namespace
