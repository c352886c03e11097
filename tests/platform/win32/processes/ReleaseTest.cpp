// What a release relies on in the Win32 layer: an executable's major version read from its
// version resource.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/win32/Version.h"
#include "platform/win32/base/WinInclude.h"
#include "platform/win32/processes/RunningExecutables.h"

namespace {

std::wstring OwnExecutable() {
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

// The tests link curtate.exe's resources (Curtate.rc), so their own version resource is the
// program's.
TEST(ReleaseTest, ExecutableMajorVersionIsReadFromTheVersionResource) {
    EXPECT_EQ(win32::ExecutableMajorVersion(OwnExecutable()), std::optional<int>(CURTATE_VERSION_MAJOR));
}

}  // namespace
