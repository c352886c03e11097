// The message filter's methods called directly, as COM on Windows calls them (COM under Wine
// never asks a client's filter about a rejected call), behind a real busy policy.
#include "platform/win32/com/MessageFilter.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "FakeBusyPlatform.h"
#include "host/BusyPolicy.h"

namespace {

constexpr DWORD kCancelCall = static_cast<DWORD>(-1);

// The fake platform, whose question can fail as a box that cannot be created does.
class BusyPlatform : public testing_support::FakeBusyPlatform {
  public:
    bool AskRetryWhileBusy() override {
        if (questionThrows) {
            throw std::runtime_error("the box could not be created");
        }
        return FakeBusyPlatform::AskRetryWhileBusy();
    }
    bool questionThrows = false;
};

TEST(MessageFilterTest, RejectedCallWaitsByThePolicy) {
    using Kind = host::BusyPolicy::CallKind;
    static const struct {
        const char* name;
        DWORD rejectType;
        Kind kind;
        std::uint64_t turnedAwayForMs;  // when asked again; 0: asked once
        std::vector<bool> answers;
        bool questionThrows;
        DWORD expected;
        std::size_t questions;
    } kCases[] = {
        {"retry later, first time", SERVERCALL_RETRYLATER, Kind::Call, 0, {}, false, host::kBusyRetryPauseMs, 0},
        {"rejected, just within the patience",
         SERVERCALL_REJECTED,
         Kind::Call,
         host::kBusyPatienceMs - 1,
         {},
         false,
         host::kBusyRetryPauseMs,
         0},
        {"patience over, Retry: again at once",
         SERVERCALL_RETRYLATER,
         Kind::Call,
         host::kBusyPatienceMs,
         {true},
         false,
         0,
         1},
        {"patience over, Cancel",
         SERVERCALL_REJECTED,
         Kind::Call,
         host::kBusyPatienceMs,
         {false},
         false,
         kCancelCall,
         1},
        {"patience over, the question fails",
         SERVERCALL_REJECTED,
         Kind::Call,
         host::kBusyPatienceMs,
         {},
         true,
         kCancelCall,
         0},
        {"a question is given up at once", SERVERCALL_RETRYLATER, Kind::Question, 0, {}, false, kCancelCall, 0},
        {"not a busy answer", SERVERCALL_ISHANDLED, Kind::Call, 0, {}, false, kCancelCall, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        BusyPlatform platform;
        platform.answers = c.answers;
        platform.questionThrows = c.questionThrows;
        host::BusyPolicy policy(platform);
        win32::MessageFilter filter(policy);
        const host::BusyPolicy::CommandScope command(policy);
        const host::BusyPolicy::CallScope call(policy, c.kind);
        // COM's tick count is not the policy's clock: it is ignored.
        DWORD answer = filter.RetryRejectedCall(nullptr, 60000, c.rejectType);
        if (c.turnedAwayForMs > 0) {
            platform.now += c.turnedAwayForMs;
            answer = filter.RetryRejectedCall(nullptr, 0, c.rejectType);
        }
        EXPECT_EQ(answer, c.expected);
        EXPECT_EQ(platform.askedAt.size(), c.questions);
    }
}

// Input that arrives while a call is pending is dropped, mouse capture released; the other
// messages stay for the message loop, and COM is told to wait.
TEST(MessageFilterTest, MessagePendingDropsInputAndWaits) {
    testing_support::FakeBusyPlatform platform;
    host::BusyPolicy policy(platform);
    win32::MessageFilter filter(policy);
    const HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                          ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    (void)::SetCapture(window);
    ASSERT_EQ(::GetCapture(), window);
    for (const UINT input : {UINT{WM_LBUTTONDOWN}, UINT{WM_LBUTTONUP}, UINT{WM_RBUTTONUP}, UINT{WM_MOUSEWHEEL},
                             UINT{WM_NCLBUTTONDOWN}, UINT{WM_KEYDOWN}, UINT{WM_CHAR}, UINT{WM_SYSKEYDOWN}}) {
        ASSERT_TRUE(::PostMessageW(window, input, 0, MAKELPARAM(5, 5)));
    }
    ASSERT_TRUE(::PostMessageW(window, WM_APP, 7, 0));

    EXPECT_EQ(filter.MessagePending(nullptr, 3000, PENDINGTYPE_TOPLEVEL),
              static_cast<DWORD>(PENDINGMSG_WAITDEFPROCESS));

    EXPECT_EQ(::GetCapture(), nullptr);
    std::vector<UINT> left;
    MSG msg{};
    while (::PeekMessageW(&msg, window, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE)) {
        left.push_back(msg.message);
    }
    EXPECT_EQ(left, std::vector<UINT>{WM_APP});
    (void)::DestroyWindow(window);
}

TEST(MessageFilterTest, AnswersForItsTwoInterfacesOnly) {
    testing_support::FakeBusyPlatform platform;
    host::BusyPolicy policy(platform);
    win32::MessageFilter filter(policy);
    for (const IID& iid : {IID_IUnknown, IID_IMessageFilter}) {
        void* object = nullptr;
        EXPECT_EQ(filter.QueryInterface(iid, &object), S_OK);
        EXPECT_EQ(object, static_cast<IMessageFilter*>(&filter));
    }
    void* object = &filter;
    EXPECT_EQ(filter.QueryInterface(IID_IDispatch, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(filter.QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

}  // namespace
