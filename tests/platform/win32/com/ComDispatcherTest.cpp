#include "platform/win32/com/ComDispatcher.h"

#include <gtest/gtest.h>

#include "TestDispatch.h"
#include "common/HostError.h"
#include "common/NumberText.h"
#include "platform/win32/base/Win32Error.h"
#include "platform/win32/com/Bstr.h"
#include "platform/win32/com/ComApartment.h"

namespace {

using common::HostError;
using common::HostValue;
using win32::ComDispatcher;
using win32::ComPtr;
using win32_test::TestDispatch;

constexpr DISPID kEcho = 1;
constexpr DISPID kVisible = 2;
constexpr DISPID kRaise = 3;
constexpr DISPID kDeferred = 4;
constexpr DISPID kChild = 5;
constexpr DISPID kFailWith = 6;

// What kFailWith answers; set by each case.
HRESULT gFailure = S_OK;

HRESULT STDMETHODCALLTYPE FillLater(EXCEPINFO* info) {
    info->bstrDescription = ::SysAllocString(L"Object not found");
    info->bstrSource = ::SysAllocString(L"RhinoScript");
    info->scode = E_INVALIDARG;
    return S_OK;
}

// The test object: Echo answers its first argument, Visible is a property, Raise and
// Deferred raise errors, Child answers `child`, FailWith fails with gFailure.
void DefineMembers(TestDispatch& object, TestDispatch* child) {
    object.Define(L"Echo", kEcho, [](const DISPPARAMS& params, VARIANT* result, EXCEPINFO*) {
        if (result != nullptr && params.cArgs > 0) {
            return ::VariantCopy(result, &params.rgvarg[params.cArgs - 1]);
        }
        return S_OK;
    });
    object.Define(L"Visible", kVisible, [](const DISPPARAMS&, VARIANT*, EXCEPINFO*) { return S_OK; });
    object.Define(L"Raise", kRaise, [](const DISPPARAMS&, VARIANT*, EXCEPINFO* info) {
        info->bstrDescription = ::SysAllocString(L"Unable to add line");
        info->bstrSource = ::SysAllocString(L"RhinoScript");
        info->scode = E_FAIL;
        return DISP_E_EXCEPTION;
    });
    object.Define(L"Deferred", kDeferred, [](const DISPPARAMS&, VARIANT*, EXCEPINFO* info) {
        info->pfnDeferredFillIn = &FillLater;
        return DISP_E_EXCEPTION;
    });
    object.Define(L"Child", kChild, [child](const DISPPARAMS&, VARIANT* result, EXCEPINFO*) {
        result->vt = VT_DISPATCH;
        result->pdispVal = child;
        child->AddRef();
        return S_OK;
    });
    object.Define(L"FailWith", kFailWith, [](const DISPPARAMS&, VARIANT*, EXCEPINFO*) { return gFailure; });
}

TEST(ComDispatcherTest, ArgumentsArriveLastToFirstAsAMethodOrPropertyGet) {
    TestDispatch object;
    DefineMembers(object, nullptr);
    ComDispatcher dispatcher(object.Reference());
    const HostValue answer =
        dispatcher.Call("Echo", {HostValue::String("first"), HostValue::Int16(2), HostValue::Point(1, 2, 3)});
    EXPECT_EQ(answer, HostValue::String("first"));

    ASSERT_EQ(object.Received().size(), 1u);
    const auto& call = object.Received()[0];
    EXPECT_EQ(call.dispid, kEcho);
    EXPECT_EQ(call.flags, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    EXPECT_TRUE(call.named.empty());
    ASSERT_EQ(call.rgvarg.size(), 3u);
    EXPECT_EQ(call.rgvarg[0], HostValue::Point(1, 2, 3));
    EXPECT_EQ(call.rgvarg[1], HostValue::Int16(2));
    EXPECT_EQ(call.rgvarg[2], HostValue::String("first"));
}

TEST(ComDispatcherTest, NamesAreLookedUpOncePerName) {
    TestDispatch object;
    DefineMembers(object, nullptr);
    ComDispatcher dispatcher(object.Reference());
    for (int i = 0; i < 3; ++i) {
        (void)dispatcher.Call("Echo", {HostValue::Int32(i)});
        dispatcher.Put("Visible", HostValue::Bool(true));
    }
    EXPECT_EQ(object.NameLookups(), 2);
    EXPECT_EQ(object.Received().size(), 6u);
}

TEST(ComDispatcherTest, PropertyPutPassesTheValueAsTheNamedPropertyArgument) {
    TestDispatch object;
    DefineMembers(object, nullptr);
    ComDispatcher dispatcher(object.Reference());
    dispatcher.Put("Visible", HostValue::Bool(true));
    ASSERT_EQ(object.Received().size(), 1u);
    const auto& call = object.Received()[0];
    EXPECT_EQ(call.dispid, kVisible);
    EXPECT_EQ(call.flags, DISPATCH_PROPERTYPUT);
    EXPECT_EQ(call.named, (std::vector<DISPID>{DISPID_PROPERTYPUT}));
    EXPECT_EQ(call.rgvarg, (std::vector<HostValue>{HostValue::Bool(true)}));
}

TEST(ComDispatcherTest, RaisedErrorsCarryTheHostsDescription) {
    static const struct {
        const char* name;
        const char* operation;
        std::string expectedDescription;
        std::int32_t expectedCode;
    } kCases[] = {
        {"filled at once", "Raise", "Unable to add line (RhinoScript)", static_cast<std::int32_t>(E_FAIL)},
        {"filled on demand", "Deferred", "Object not found (RhinoScript)", static_cast<std::int32_t>(E_INVALIDARG)},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        TestDispatch object;
        DefineMembers(object, nullptr);
        ComDispatcher dispatcher(object.Reference());
        try {
            (void)dispatcher.Call(c.operation, {HostValue::String("id")});
            ADD_FAILURE() << "no error";
        } catch (const HostError& e) {
            EXPECT_EQ(e.Operation(), c.operation);
            EXPECT_EQ(e.Description(), c.expectedDescription);
            EXPECT_EQ(e.GetCause(), HostError::Cause::Raised);
            EXPECT_EQ(e.Code(), c.expectedCode);
        }
    }
}

TEST(ComDispatcherTest, ABrokenConnectionMeansTheHostIsGoneAndATurnedAwayCallABusyHost) {
    static const struct {
        const char* name;
        HRESULT failure;
        HostError::Cause expected;
    } kCases[] = {
        {"disconnected", RPC_E_DISCONNECTED, HostError::Cause::HostGone},
        {"server unavailable", static_cast<HRESULT>(0x800706BA), HostError::Cause::HostGone},
        {"call failed", static_cast<HRESULT>(0x800706BE), HostError::Cause::HostGone},
        {"server died", RPC_E_SERVER_DIED, HostError::Cause::HostGone},
        {"server died, not executed", RPC_E_SERVER_DIED_DNE, HostError::Cause::HostGone},
        {"object not connected", CO_E_OBJNOTCONNECTED, HostError::Cause::HostGone},
        {"rejected by a busy host", RPC_E_CALL_REJECTED, HostError::Cause::Busy},
        {"busy host asks to retry later", RPC_E_SERVERCALL_RETRYLATER, HostError::Cause::Busy},
        {"type mismatch", DISP_E_TYPEMISMATCH, HostError::Cause::Raised},
        {"out of memory", E_OUTOFMEMORY, HostError::Cause::Raised},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        TestDispatch object;
        DefineMembers(object, nullptr);
        ComDispatcher dispatcher(object.Reference());
        gFailure = c.failure;
        try {
            (void)dispatcher.Call("FailWith", {});
            ADD_FAILURE() << "no error";
        } catch (const HostError& e) {
            EXPECT_EQ(e.GetCause(), c.expected);
            EXPECT_EQ(e.Code(), static_cast<std::int32_t>(c.failure));
            if (c.expected == HostError::Cause::Busy) {
                EXPECT_EQ(e.Description().rfind("Rhino is busy", 0), 0u) << e.Description();
            } else if (c.expected == HostError::Cause::HostGone) {
                EXPECT_NE(e.Description().find("Rhino is no longer running or stopped answering"), std::string::npos)
                    << e.Description();
            } else {
                EXPECT_EQ(e.Description().rfind(common::HexCodeText(static_cast<std::uint32_t>(c.failure)), 0), 0u)
                    << e.Description();
            }
        }
    }
}

TEST(ComDispatcherTest, UnknownOperationIsAnErrorWithItsCode) {
    TestDispatch object;
    DefineMembers(object, nullptr);
    ComDispatcher dispatcher(object.Reference());
    try {
        (void)dispatcher.Call("NoSuchOperation", {});
        ADD_FAILURE() << "no error";
    } catch (const HostError& e) {
        EXPECT_EQ(e.Operation(), "NoSuchOperation");
        EXPECT_EQ(e.GetCause(), HostError::Cause::Raised);
        EXPECT_EQ(e.Description().rfind("0x80020006", 0), 0u) << e.Description();
    }
    EXPECT_TRUE(object.Received().empty());
}

TEST(ComDispatcherTest, CallForObjectWrapsTheAnsweredObject) {
    TestDispatch child;
    DefineMembers(child, nullptr);
    TestDispatch object;
    DefineMembers(object, &child);
    {
        ComDispatcher dispatcher(object.Reference());
        auto script = dispatcher.CallForObject("Child");
        ASSERT_NE(script, nullptr);
        EXPECT_EQ(script->Call("Echo", {HostValue::Double(4.5)}), HostValue::Double(4.5));
        EXPECT_EQ(child.Received().size(), 1u);
        EXPECT_GT(child.References(), 1u);

        // An answer that is no object is an error, not an empty dispatcher.
        try {
            (void)dispatcher.CallForObject("Echo");
            ADD_FAILURE() << "no error";
        } catch (const HostError& e) {
            EXPECT_EQ(e.Operation(), "Echo");
        }
    }
    // Every reference taken was given back.
    EXPECT_EQ(child.References(), 1u);
    EXPECT_EQ(object.References(), 1u);
}

TEST(ComDispatcherTest, ArgumentsThatCannotBePassedAreAHostErrorAndNoCall) {
    TestDispatch object;
    DefineMembers(object, nullptr);
    ComDispatcher dispatcher(object.Reference());
    HostValue object3;
    object3.kind = HostValue::Kind::Object;
    EXPECT_THROW((void)dispatcher.Call("Echo", {HostValue::String("a"), object3}), HostError);
    EXPECT_TRUE(object.Received().empty());
}

TEST(ComObjectCreatorTest, UnregisteredProgIdIsAClearHostError) {
    const win32::ComApartment apartment;
    win32::ComObjectCreator creator;
    try {
        (void)creator.CreateObject("Curtate.NoSuchClass.9");
        ADD_FAILURE() << "no error";
    } catch (const HostError& e) {
        EXPECT_EQ(e.Operation(), "CreateObject");
        EXPECT_EQ(e.GetCause(), HostError::Cause::Raised);
        EXPECT_NE(e.Description().find("\"Curtate.NoSuchClass.9\" is not registered"), std::string::npos)
            << e.Description();
    }
}

}  // namespace
