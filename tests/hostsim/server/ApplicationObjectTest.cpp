#include "hostsim/server/ApplicationObject.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DispatchCall.h"
#include "hostsim/model/ScriptApi.h"
#include "hostsim/server/ScriptObject.h"

namespace hostsim {
namespace {

using testing::BoolArg;
using testing::CallByName;

class ApplicationObjectTest : public ::testing::Test {
  protected:
    ApplicationObjectTest()
        : script_(ComPtr<IDispatch>::Adopt(new ScriptObject(api_, {}))),
          app_(ComPtr<IDispatch>::Adopt(new ApplicationObject(
              api_,
              script_.Get(),
              ApplicationHooks{[this] { return visible_; }, [this](bool shown) { visible_ = shown; },
                               [this](const std::string& line) { notes_.push_back(line); }}))) {}

    ComApartment apartment_;
    ScriptApi api_;
    bool visible_ = false;
    std::vector<std::string> notes_;
    ComPtr<IDispatch> script_;
    ComPtr<IDispatch> app_;
};

TEST_F(ApplicationObjectTest, GetScriptObjectAnswersTheScriptObject) {
    const auto answer = CallByName(app_.Get(), L"GetScriptObject", {});
    ASSERT_EQ(answer.hr, S_OK);
    ASSERT_EQ(answer.result.Get().vt, VT_DISPATCH);
    EXPECT_EQ(answer.result.Get().pdispVal, script_.Get());
}

TEST_F(ApplicationObjectTest, GetScriptObjectFailsAsOftenAsInjected) {
    api_.Control("fault getscriptobject 3");
    std::vector<HRESULT> results;
    for (int i = 0; i < 4; ++i) {
        results.push_back(CallByName(app_.Get(), L"GetScriptObject", {}).hr);
    }
    EXPECT_EQ(results, (std::vector<HRESULT>{DISP_E_EXCEPTION, DISP_E_EXCEPTION, DISP_E_EXCEPTION, S_OK}));
    EXPECT_EQ(notes_.size(), 4u);
}

TEST_F(ApplicationObjectTest, VisibleIsAPropertyWithPut) {
    std::vector<Variant> args;
    args.push_back(BoolArg(true));
    EXPECT_EQ(CallByName(app_.Get(), L"Visible", std::move(args), DISPATCH_PROPERTYPUT).hr, S_OK);
    EXPECT_TRUE(visible_);
    const auto read = CallByName(app_.Get(), L"Visible", {}, DISPATCH_PROPERTYGET);
    ASSERT_EQ(read.hr, S_OK);
    EXPECT_EQ(read.result.Get().boolVal, VARIANT_TRUE);
    EXPECT_EQ(notes_, (std::vector<std::string>{"Visible(Bool true)"}));

    // A put without the DISPID_PROPERTYPUT named argument is malformed.
    std::vector<Variant> unnamed;
    unnamed.push_back(BoolArg(false));
    EXPECT_EQ(CallByName(app_.Get(), L"Visible", std::move(unnamed), DISPATCH_METHOD).hr, DISP_E_BADPARAMCOUNT);
    EXPECT_TRUE(visible_);
}

}  // namespace
}  // namespace hostsim
