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
        std::optional<int> resourceVersion = std::nullopt;  // from the executable's version resource
    } kCases[] = {
        {L"C:\\Program Files\\Rhino 8\\System\\Rhino.exe", 8, L"Rhino.Interface.8", 8},
        {L"c:\\rhino 5\\RHINO.EXE", 5, sizeof(void*) == 4 ? L"Rhino5.Interface" : L"Rhino5x64.Interface", 5},
        {L"C:\\Rhino\\Rhino.exe", 4, L"Rhino4.Interface"},
        {L"C:\\Rhino 4\\Rhino.exe", 4, L"Rhino4.Interface", 4},
        {L"Z:\\build\\hostsim.exe", 4, L"Rhino4.Interface", 8},
        {L"C:\\Program Files\\Rhinoceros 4.0\\System\\Rhino4.exe", 4, L"Rhino4.Interface"},
        {L"C:\\Program Files\\Rhinoceros 3.0\\System\\Rhino3.exe", 3, L"Rhino3.Application"},
        {L"c:\\rhino3\\RHINO3.EXE", 3, L"Rhino3.Application"},
        {L"Z:\\build\\hostsim.exe", 4, L"Rhino4.Interface"},
        {L"Z:\\Rhino3.exe.bak\\hostsim.exe", 4, L"Rhino4.Interface"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.path, c.path + wcslen(c.path)));
        const HostIdentity identity = IdentityForExecutable(c.path, c.resourceVersion);
        EXPECT_EQ(identity.version, c.version);
        EXPECT_STREQ(identity.application->progId, c.progId);
        EXPECT_NE(identity.title.find(L"Rhinoceros " + std::to_wstring(c.version)), std::wstring::npos);
        EXPECT_EQ(std::wstring(identity.control->progId), L"Hostsim.Control." + std::to_wstring(c.version));
    }
}

}  // namespace
}  // namespace hostsim
