#include "hostsim/server/HostIdentity.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace hostsim {
namespace {

TEST(HostIdentityTest, FileNameDecidesTheVersion) {
    const struct {
        const wchar_t* path;
        int version;
        const wchar_t* progId;
    } kCases[] = {
        {L"C:\\Program Files\\Rhinoceros 4.0\\System\\Rhino4.exe", 4, L"Rhino4.Interface"},
        {L"C:\\Program Files\\Rhinoceros 3.0\\System\\Rhino3.exe", 3, L"Rhino3.Application"},
        {L"c:\\rhino3\\RHINO3.EXE", 3, L"Rhino3.Application"},
        {L"Z:\\build\\hostsim.exe", 4, L"Rhino4.Interface"},
        {L"Z:\\Rhino3.exe.bak\\hostsim.exe", 4, L"Rhino4.Interface"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.path, c.path + wcslen(c.path)));
        const HostIdentity identity = IdentityForExecutable(c.path);
        EXPECT_EQ(identity.version, c.version);
        EXPECT_STREQ(identity.application->progId, c.progId);
        EXPECT_NE(identity.title.find(c.version == 4 ? L"Rhinoceros 4.0" : L"Rhinoceros 3.0"), std::wstring::npos);
    }
}

}  // namespace
}  // namespace hostsim
