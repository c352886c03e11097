// What a release relies on in the Win32 layer: a process's executable path by the route of
// Windows Vista and later and by Windows XP's, and an executable's major version read from its
// version resource.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/win32/Version.h"
#include "platform/win32/base/WinInclude.h"
#include "platform/win32/system/ModernHosts.h"

namespace {

std::wstring OwnExecutable() {
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

TEST(ReleaseTest, BothPathRoutesGiveTheRunningExecutableAndNothingForNoProcess) {
    const std::wstring own = OwnExecutable();
    ASSERT_FALSE(own.empty());
    EXPECT_EQ(win32::ProcessImagePath(::GetCurrentProcessId()), std::optional<std::wstring>(own));
    EXPECT_EQ(win32::ProcessImagePathByModule(::GetCurrentProcessId()), std::optional<std::wstring>(own));
    constexpr DWORD kNoProcess = 0xFFFFFFF0;
    EXPECT_EQ(win32::ProcessImagePath(kNoProcess), std::nullopt);
    EXPECT_EQ(win32::ProcessImagePathByModule(kNoProcess), std::nullopt);
}

// The tests link curtate.exe's resources (Curtate.rc), so their own version resource is the
// program's.
TEST(ReleaseTest, ExecutableMajorVersionIsReadFromTheVersionResource) {
    EXPECT_EQ(win32::ExecutableMajorVersion(OwnExecutable()), std::optional<int>(CURTATE_VERSION_MAJOR));
}

}  // namespace
