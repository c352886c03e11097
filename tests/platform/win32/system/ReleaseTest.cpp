// What a release relies on in the Win32 layer: the version resource carrying the project
// version.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/Version.h"
#include "platform/win32/base/WinInclude.h"
#include "platform/win32/system/RunningExecutables.h"

namespace {

std::wstring OwnExecutable() {
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

// The tests link curtate.exe's resources (Curtate.rc), so their own version resource is the
// program's.
TEST(ReleaseTest, VersionResourceCarriesTheProjectVersion) {
    const std::wstring own = OwnExecutable();
    EXPECT_EQ(win32::ExecutableMajorVersion(own), std::optional<int>(CURTATE_VERSION_MAJOR));

    DWORD ignored = 0;
    std::vector<unsigned char> data(::GetFileVersionInfoSizeW(own.c_str(), &ignored));
    ASSERT_FALSE(data.empty());
    ASSERT_TRUE(::GetFileVersionInfoW(own.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
    for (const wchar_t* name :
         {L"\\StringFileInfo\\040904B0\\FileVersion", L"\\StringFileInfo\\040904B0\\ProductVersion"}) {
        void* text = nullptr;
        UINT length = 0;
        ASSERT_TRUE(::VerQueryValueW(data.data(), name, &text, &length)) << name;
        const std::wstring value(static_cast<const wchar_t*>(text));
        EXPECT_EQ(value, std::wstring(L"" CURTATE_VERSION_TEXT)) << name;
    }
}

}  // namespace
