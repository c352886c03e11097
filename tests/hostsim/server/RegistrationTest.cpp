#include "hostsim/server/Registration.h"

#include <gtest/gtest.h>

#include "ServerProcess.h"
#include "hostsim/server/ComResource.h"

namespace hostsim {
namespace {

using namespace std::chrono_literals;
using testing::ServerExePath;
using testing::ServerProcess;

// Runs the server with one switch and answers its exit code (nothing when it did not end).
std::optional<DWORD> RunSwitch(const std::wstring& exe, const std::wstring& arguments) {
    ServerProcess process(exe, arguments);
    EXPECT_TRUE(process.Started());
    return process.WaitExit(60s);
}

TEST(RegistrationTest, RegisterPointsProgIdsAtTheExecutableAndUnregisterRemovesThem) {
    ComApartment apartment;
    const std::wstring exe = ServerExePath();
    // Unregistering removes what points at this executable; a copy registered by another run in
    // the same prefix (the end-to-end hosts) keeps its own entries.
    ASSERT_EQ(RunSwitch(exe, L"/unregserver"), DWORD{0});
    EXPECT_NE(LocalServerOf(L"Rhino4.Interface"), LocalServerCommand(exe));
    EXPECT_NE(LocalServerOf(L"Hostsim.Control.4"), LocalServerCommand(exe));

    ASSERT_EQ(RunSwitch(exe, L"/regserver"), DWORD{0});
    for (const wchar_t* progId : {L"Rhino4.Interface", L"Hostsim.Control.4", L"Hostsim.Control"}) {
        SCOPED_TRACE(std::string(progId, progId + wcslen(progId)));
        const std::optional<std::wstring> command = LocalServerOf(progId);
        ASSERT_TRUE(command.has_value());
        EXPECT_EQ(*command, LocalServerCommand(exe));
    }
    CLSID clsid{};
    ASSERT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"Rhino4.Interface", &clsid));
    EXPECT_TRUE(IsEqualCLSID(clsid, kRhino4Class.clsid));
}

TEST(RegistrationTest, CopyNamedRhino3RegistersItsOwnProgIdBesideRhino4) {
    ComApartment apartment;
    const std::wstring exe = ServerExePath();
    ASSERT_EQ(RunSwitch(exe, L"/regserver"), DWORD{0});
    const std::wstring folder = testing::ScratchFolder(L"rhino3");
    const std::wstring rhino3 = folder + L"\\Rhino3.exe";
    ASSERT_TRUE(CopyFileW(exe.c_str(), rhino3.c_str(), FALSE));

    ASSERT_EQ(RunSwitch(rhino3, L"-RegServer"), DWORD{0});
    EXPECT_EQ(LocalServerOf(L"Rhino3.Application"), LocalServerCommand(rhino3));
    EXPECT_EQ(LocalServerOf(L"Rhino4.Interface"), LocalServerCommand(exe)) << "the other version stays";

    // Unregistering an executable removes only what points at it.
    ASSERT_EQ(RunSwitch(rhino3, L"/unregserver"), DWORD{0});
    EXPECT_FALSE(LocalServerOf(L"Rhino3.Application").has_value());
    EXPECT_EQ(LocalServerOf(L"Rhino4.Interface"), LocalServerCommand(exe));
    DeleteFileW(rhino3.c_str());
    RemoveDirectoryW(folder.c_str());
}

// The shared "Rhino.Interface" names the version registered last, as an installation leaves it;
// unregistering a version leaves the shared ProgID alone while it names another.
TEST(RegistrationTest, SharedProgIdNamesTheVersionRegisteredLast) {
    ComApartment apartment;
    const std::wstring rhino7 = L"C:\\Program Files\\Rhino 7\\System\\Rhino.exe";
    const std::wstring rhino8 = L"C:\\Program Files\\Rhino 8\\System\\Rhino.exe";
    RegisterClasses({&ModernApplicationClass(8)}, rhino8);
    RegisterClasses({&ModernApplicationClass(7)}, rhino7);
    EXPECT_EQ(LocalServerOf(L"Rhino.Interface.8"), LocalServerCommand(rhino8));
    EXPECT_EQ(LocalServerOf(L"Rhino.Interface.7"), LocalServerCommand(rhino7));
    EXPECT_EQ(LocalServerOf(L"Rhino.Interface"), LocalServerCommand(rhino7));

    UnregisterClasses({&ModernApplicationClass(8)}, rhino8);
    EXPECT_FALSE(LocalServerOf(L"Rhino.Interface.8").has_value());
    EXPECT_EQ(LocalServerOf(L"Rhino.Interface"), LocalServerCommand(rhino7));
    UnregisterClasses({&ModernApplicationClass(7)}, rhino7);
    EXPECT_FALSE(LocalServerOf(L"Rhino.Interface").has_value());
    EXPECT_FALSE(LocalServerOf(L"Rhino.Interface.7").has_value());
}

}  // namespace
}  // namespace hostsim
