#include "platform/win32/processes/RunningExecutables.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/win32/Version.h"
#include "platform/win32/base/WinInclude.h"

namespace {

std::wstring OwnExecutable() {
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

// The route of Windows Vista and later and, with QueryFullProcessImageNameW taken away, the
// Windows XP one.
TEST(RunningExecutablesTest, BothPathRoutesGiveTheRunningExecutableAndNothingForNoProcess) {
    const std::wstring own = OwnExecutable();
    ASSERT_FALSE(own.empty());
    ASSERT_NE(win32::SystemQueryFullProcessImageName(), nullptr);
    static const struct {
        const char* name;
        win32::QueryFullProcessImageNameFunction query;
    } kCases[] = {
        {"QueryFullProcessImageNameW", win32::SystemQueryFullProcessImageName()},
        {"without it, as on Windows XP", nullptr},
    };
    constexpr DWORD kNoProcess = 0xFFFFFFF0;
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(win32::ExecutablePath(::GetCurrentProcessId(), c.query), std::optional<std::wstring>(own));
        EXPECT_EQ(win32::ExecutablePath(kNoProcess, c.query), std::nullopt);
    }
}

// The tests link curtate.exe's resources (Curtate.rc), so their own version resource is the
// program's.
TEST(RunningExecutablesTest, ExecutableMajorVersionIsReadFromTheVersionResource) {
    EXPECT_EQ(win32::ExecutableMajorVersion(OwnExecutable()), std::optional<int>(CURTATE_VERSION_MAJOR));
}

}  // namespace
