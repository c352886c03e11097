#include "hostsim/server/ControlObject.h"

#include <gtest/gtest.h>

#include "DispatchCall.h"
#include "hostsim/model/ScriptApi.h"

namespace hostsim {
namespace {

using testing::CallByName;
using testing::TextArg;
using testing::TextOf;

TEST(ControlObjectTest, RoutesToTheHooksAndRaisesBadLines) {
    ComApartment apartment;
    ScriptApi api;
    bool quit = false;
    ComPtr<IDispatch> control = ComPtr<IDispatch>::Adopt(new ControlObject(
        ControlHooks{[&](const std::string& line) { return api.Control(line); }, [&] { return api.Log().Text(); },
                     [&] { return api.DocumentText(); }, [&] { api.Control("log clear"); }, [&] { quit = true; }}));
    std::vector<Variant> add;
    add.push_back(TextArg(L"add point 1 2 3"));
    const auto added = CallByName(control.Get(), L"Control", std::move(add));
    ASSERT_EQ(added.hr, S_OK);
    EXPECT_FALSE(TextOf(added.result).empty());
    EXPECT_NE(TextOf(CallByName(control.Get(), L"Document", {}).result).find(L"point 1 2 3"), std::wstring::npos);

    std::vector<Variant> bad;
    bad.push_back(TextArg(L"frobnicate"));
    const auto refused = CallByName(control.Get(), L"Control", std::move(bad));
    EXPECT_EQ(refused.hr, DISP_E_EXCEPTION);
    EXPECT_NE(refused.description.find(L"frobnicate"), std::wstring::npos);

    api.Call("AllObjects", {});
    EXPECT_EQ(TextOf(CallByName(control.Get(), L"CallLog", {}).result), L"AllObjects()\n");
    EXPECT_EQ(CallByName(control.Get(), L"ClearLog", {}).hr, S_OK);
    EXPECT_TRUE(api.Log().Records().empty());
    EXPECT_EQ(CallByName(control.Get(), L"Quit", {}).hr, S_OK);
    EXPECT_TRUE(quit);
}

}  // namespace
}  // namespace hostsim
