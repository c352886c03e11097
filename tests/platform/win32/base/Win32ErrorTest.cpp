#include "platform/win32/base/Win32Error.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Win32ErrorTest, CarriesApiCodeSystemTextAndPlace) {
    try {
        win32::ThrowLastErrorIf(::GetFileAttributesW(L"Z:\\no\\such\\curtate\\file") == INVALID_FILE_ATTRIBUTES,
                                "GetFileAttributesW");
        ADD_FAILURE() << "no error";
    } catch (const win32::Win32Error& e) {
        EXPECT_EQ(e.Api(), "GetFileAttributesW");
        EXPECT_TRUE(e.Code() == ERROR_PATH_NOT_FOUND || e.Code() == ERROR_FILE_NOT_FOUND) << e.Code();
        EXPECT_EQ(std::string(e.what()).rfind("GetFileAttributesW failed: 0x0000000", 0), 0u) << e.what();
        EXPECT_NE(std::string(e.what()).find("Win32ErrorTest.cpp:"), std::string::npos) << e.what();
    }
    EXPECT_NO_THROW(win32::ThrowIfFailed(S_FALSE, "success"));
    EXPECT_THROW(win32::ThrowIfFailed(E_OUTOFMEMORY, "failure"), win32::Win32Error);
    EXPECT_FALSE(win32::SystemMessage(static_cast<std::uint32_t>(E_OUTOFMEMORY)).empty());
}

}  // namespace
