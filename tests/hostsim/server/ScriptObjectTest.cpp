#include "hostsim/server/ScriptObject.h"

#include <gtest/gtest.h>

#include "DispatchCall.h"
#include "hostsim/model/Document.h"
#include "hostsim/model/ScriptApi.h"
#include "hostsim/server/VariantConvert.h"

namespace hostsim {
namespace {

using testing::BoolArg;
using testing::CallByName;
using testing::PointArg;
using testing::TextArg;
using testing::TextOf;

class ScriptObjectTest : public ::testing::Test {
  protected:
    ScriptObjectTest()
        : script_(ComPtr<IDispatch>::Adopt(
              new ScriptObject(api_, [this](const std::string&, const std::vector<Value>&) { ++afterCalls_; }))) {}

    ComApartment apartment_;
    ScriptApi api_;
    int afterCalls_ = 0;
    ComPtr<IDispatch> script_;
};

TEST_F(ScriptObjectTest, NamesResolveIgnoringCaseAndUnknownNamesFail) {
    std::wstring earlierName = L"IsPoint";
    LPOLESTR earlierNames[1] = {earlierName.data()};
    DISPID earlier = 0;
    ASSERT_EQ(script_->GetIDsOfNames(IID_NULL, earlierNames, 1, LOCALE_USER_DEFAULT, &earlier), S_OK);
    api_.Control("unknown InCommand IsPoint");
    const struct {
        const wchar_t* name;
        bool known;
    } kCases[] = {
        {L"AddPoint", true},     {L"addpoint", true},    {L"CURVECURVEINTERSECTION", true},
        {L"WindowHandle", true}, {L"AddPoints", false},  {L"", false},
        {L"incommand", false},   {L"InCommands", false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.name, c.name + wcslen(c.name)));
        std::wstring name = c.name;
        LPOLESTR names[1] = {name.data()};
        DISPID id = 0;
        const HRESULT hr = script_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        EXPECT_EQ(hr, c.known ? S_OK : DISP_E_UNKNOWNNAME);
        EXPECT_EQ(id == DISPID_UNKNOWN, !c.known);
    }
    // A DISPID obtained before the name was made unknown names no member any more.
    DISPPARAMS none{};
    EXPECT_EQ(
        script_->Invoke(earlier, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
        DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(api_.Log().Text(),
              "InCommand() # unknown name: GetIDsOfNames refused it\n"
              "IsPoint() # unknown name: Invoke by an earlier DISPID refused it\n");
    EXPECT_EQ(afterCalls_, 2);
}

TEST_F(ScriptObjectTest, ArgumentsArriveInCallOrder) {
    auto added = CallByName(script_.Get(), L"AddLine", {});
    ASSERT_EQ(added.hr, DISP_E_EXCEPTION);
    std::vector<Variant> args;
    args.push_back(PointArg(1, 2, 3));
    args.push_back(PointArg(4, 5, 6));
    added = CallByName(script_.Get(), L"AddLine", std::move(args));
    ASSERT_EQ(added.hr, S_OK);
    ASSERT_EQ(added.result.Get().vt, VT_BSTR);
    const auto& records = api_.Log().Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].operation, "AddLine");
    ASSERT_EQ(records[1].arguments.size(), 2u);
    EXPECT_EQ(records[1].arguments[0], Value::Point(1, 2, 3).Text());
    EXPECT_EQ(records[1].arguments[1], Value::Point(4, 5, 6).Text());
    EXPECT_EQ(afterCalls_, 2) << "the observer runs after raised calls too";
}

TEST_F(ScriptObjectTest, AnswersComeBackAsVariants) {
    std::vector<Variant> args;
    args.push_back(PointArg(1, 2, 3));
    const auto added = CallByName(script_.Get(), L"AddPoint", std::move(args));
    ASSERT_EQ(added.hr, S_OK);
    const std::wstring id = TextOf(added.result);
    ASSERT_FALSE(id.empty());

    std::vector<Variant> isPointArgs;
    isPointArgs.push_back(TextArg(id));
    const auto isPoint = CallByName(script_.Get(), L"IsPoint", std::move(isPointArgs));
    ASSERT_EQ(isPoint.hr, S_OK);
    EXPECT_EQ(isPoint.result.Get().vt, VT_BOOL);
    EXPECT_EQ(isPoint.result.Get().boolVal, VARIANT_TRUE);

    std::vector<Variant> coordinateArgs;
    coordinateArgs.push_back(TextArg(id));
    const auto coordinates = CallByName(script_.Get(), L"PointCoordinates", std::move(coordinateArgs));
    ASSERT_EQ(coordinates.hr, S_OK);
    EXPECT_EQ(ValueFromVariant(coordinates.result.Get()), Value::Point(1, 2, 3));

    std::vector<Variant> missingArgs;
    missingArgs.push_back(TextArg(L"not-an-id"));
    const auto missing = CallByName(script_.Get(), L"IsPoint", std::move(missingArgs));
    ASSERT_EQ(missing.hr, S_OK);
    EXPECT_EQ(missing.result.Get().vt, VT_NULL);
}

TEST_F(ScriptObjectTest, RaisedErrorsBecomeExceptionsWithDescription) {
    api_.Control("fault raise AddPoint 1");
    std::vector<Variant> args;
    args.push_back(PointArg(0, 0, 0));
    const auto raised = CallByName(script_.Get(), L"AddPoint", std::move(args));
    EXPECT_EQ(raised.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(raised.description, L"Injected failure");
    EXPECT_EQ(raised.source, L"Rhino");
    EXPECT_EQ(raised.result.Get().vt, VT_EMPTY);

    const auto tooFew = CallByName(script_.Get(), L"IsPoint", {});
    EXPECT_EQ(tooFew.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(tooFew.description, L"Argument not optional");
}

TEST_F(ScriptObjectTest, LeftOutOptionalArgumentsAreDroppedAtTheEnd) {
    Variant missing;
    missing.Get().vt = VT_ERROR;
    missing.Get().scode = DISP_E_PARAMNOTFOUND;
    std::vector<Variant> args;
    args.push_back(BoolArg(false));
    args.push_back(std::move(missing));
    const auto answer = CallByName(script_.Get(), L"EnableRedraw", std::move(args));
    ASSERT_EQ(answer.hr, S_OK);
    EXPECT_FALSE(api_.Doc().RedrawEnabled());
    EXPECT_EQ(api_.Log().Records().back().arguments.size(), 1u);
}

TEST_F(ScriptObjectTest, UnconvertibleArgumentIsATypeMismatch) {
    Variant object;
    object.Get().vt = VT_UNKNOWN;
    object.Get().punkVal = nullptr;
    std::vector<Variant> args;
    args.push_back(std::move(object));
    const auto answer = CallByName(script_.Get(), L"IsPoint", std::move(args));
    EXPECT_EQ(answer.hr, DISP_E_TYPEMISMATCH);
    EXPECT_TRUE(api_.Log().Records().empty()) << "a call that cannot be read never reaches the host";
}

TEST_F(ScriptObjectTest, IntersectionAnswerIsTwoDimensional) {
    std::vector<Variant> first;
    first.push_back(PointArg(-10, 0, 0));
    first.push_back(PointArg(10, 0, 0));
    const std::wstring a = TextOf(CallByName(script_.Get(), L"AddLine", std::move(first)).result);
    std::vector<Variant> second;
    second.push_back(PointArg(2, -10, 0));
    second.push_back(PointArg(2, 10, 0));
    const std::wstring b = TextOf(CallByName(script_.Get(), L"AddLine", std::move(second)).result);
    std::vector<Variant> args;
    args.push_back(TextArg(a));
    args.push_back(TextArg(b));
    const auto hits = CallByName(script_.Get(), L"CurveCurveIntersection", std::move(args));
    ASSERT_EQ(hits.hr, S_OK);
    ASSERT_EQ(hits.result.Get().vt, VT_ARRAY | VT_VARIANT);
    ASSERT_EQ(SafeArrayGetDim(hits.result.Get().parray), 2u);
    LONG index[2] = {0, 1};
    Variant pointOnA;
    ASSERT_HRESULT_SUCCEEDED(SafeArrayGetElement(hits.result.Get().parray, index, pointOnA.Put()));
    EXPECT_EQ(ValueFromVariant(pointOnA.Get()), Value::Point(2, 0, 0));
}

}  // namespace
}  // namespace hostsim
