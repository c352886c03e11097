#include "platform/win32/com/VariantConvert.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <stdexcept>

#include "TestDispatch.h"
#include "platform/win32/com/Bstr.h"
#include "platform/win32/com/SafeArray.h"

namespace {

using common::HostValue;
using win32::Bstr;
using win32::SafeArray;
using win32::ToHostValue;
using win32::ToVariant;
using win32::Variant;

HostValue OtherValue() {
    HostValue v;
    v.kind = HostValue::Kind::Other;
    return v;
}

HostValue ObjectValue() {
    HostValue v;
    v.kind = HostValue::Kind::Object;
    return v;
}

VARIANT Scalar(VARTYPE vt, LONGLONG bits) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = vt;
    v.llVal = bits;
    return v;
}

VARIANT Real(VARTYPE vt, double value) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = vt;
    if (vt == VT_R4) {
        v.fltVal = static_cast<float>(value);
    } else {
        v.dblVal = value;
    }
    return v;
}

TEST(VariantConvertTest, ScalarsKeepTheirKindAndWidth) {
    static const struct {
        const char* name;
        VARIANT input;
        HostValue expected;
    } kCases[] = {
        {"empty", Scalar(VT_EMPTY, 0), HostValue::Empty()},
        {"null", Scalar(VT_NULL, 0), HostValue::Null()},
        {"bool true", Scalar(VT_BOOL, static_cast<SHORT>(VARIANT_TRUE)), HostValue::Bool(true)},
        {"bool nonstandard 1", Scalar(VT_BOOL, 1), HostValue::Bool(true)},
        {"bool false", Scalar(VT_BOOL, 0), HostValue::Bool(false)},
        {"i2", Scalar(VT_I2, -5), HostValue::Int16(-5)},
        {"ui1 high", Scalar(VT_UI1, 200), HostValue::Int16(200)},
        {"i4", Scalar(VT_I4, -70000), HostValue::Int32(-70000)},
        {"int", Scalar(VT_INT, 123456), HostValue::Int32(123456)},
        {"ui2 high", Scalar(VT_UI2, 65535), HostValue::Int32(65535)},
        {"i1", Scalar(VT_I1, static_cast<signed char>(-3)), HostValue::Int32(-3)},
        {"ui4 small", Scalar(VT_UI4, 7), HostValue::Int32(7)},
        {"ui4 beyond i4", Scalar(VT_UI4, 0xFFFFFFFFLL), HostValue::Double(4294967295.0)},
        {"i8 small", Scalar(VT_I8, -2147483648LL), HostValue::Int32(-2147483647 - 1)},
        {"i8 beyond i4", Scalar(VT_I8, 1LL << 40), HostValue::Double(1099511627776.0)},
        {"r4", Real(VT_R4, 1.5), HostValue::Double(1.5)},
        {"r8", Real(VT_R8, -0.125), HostValue::Double(-0.125)},
        {"date", Real(VT_DATE, 45000.5), OtherValue()},
        {"currency", Scalar(VT_CY, 10000), OtherValue()},
        {"error", Scalar(VT_ERROR, DISP_E_PARAMNOTFOUND), OtherValue()},
        {"vector flag", Scalar(VT_VECTOR | VT_I4, 0), OtherValue()},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ToHostValue(c.input), c.expected) << ToHostValue(c.input).Describe();
    }
}

TEST(VariantConvertTest, StringsBecomeUtf8) {
    const Variant text =
        ToVariant(HostValue::String("Gr\xC3\xB6\xC3\x9F"
                                    "e \xE2\x82\xAC"));
    ASSERT_EQ(text.Type(), VT_BSTR);
    EXPECT_EQ(win32::BstrView(text.Get().bstrVal), L"Gr\u00F6\u00DFe \u20AC");
    EXPECT_EQ(ToHostValue(text.Get()), HostValue::String("Gr\xC3\xB6\xC3\x9F"
                                                         "e \xE2\x82\xAC"));

    VARIANT nullString;
    ::VariantInit(&nullString);
    nullString.vt = VT_BSTR;
    nullString.bstrVal = nullptr;
    EXPECT_EQ(ToHostValue(nullString), HostValue::String(""));
}

TEST(VariantConvertTest, ByReferenceValuesAreReadThroughTheirPointer) {
    SHORT i2 = 42;
    double r8 = 2.5;
    const Bstr id(L"{7A3}");
    BSTR idValue = id.Get();
    const Variant inner = ToVariant(HostValue::Point(1, 2, 3));
    VARIANT innerCopy = inner.Get();
    SAFEARRAY* array = inner.Get().parray;

    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I2 | VT_BYREF;
    v.piVal = &i2;
    EXPECT_EQ(ToHostValue(v), HostValue::Int16(42));
    v.vt = VT_R8 | VT_BYREF;
    v.pdblVal = &r8;
    EXPECT_EQ(ToHostValue(v), HostValue::Double(2.5));
    v.vt = VT_BSTR | VT_BYREF;
    v.pbstrVal = &idValue;
    EXPECT_EQ(ToHostValue(v), HostValue::String("{7A3}"));
    v.vt = VT_VARIANT | VT_BYREF;
    v.pvarVal = &innerCopy;
    EXPECT_EQ(ToHostValue(v), HostValue::Point(1, 2, 3));
    v.vt = VT_ARRAY | VT_VARIANT | VT_BYREF;
    v.pparray = &array;
    EXPECT_EQ(ToHostValue(v), HostValue::Point(1, 2, 3));
    v.vt = VT_I4 | VT_BYREF;
    v.plVal = nullptr;
    EXPECT_EQ(ToHostValue(v), OtherValue());
}

// The order of SafeArrayGetElement's indices: dimension 1 first, whatever the reference
// page says about the rightmost dimension. The storage lies first-subscript-fastest.
TEST(VariantConvertTest, SafeArrayIndicesGoInSubscriptOrder) {
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {3, 0}};  // rows 0..1, columns 0..2
    SafeArray array(::SafeArrayCreate(VT_I4, 2, bounds));
    ASSERT_NE(array.Get(), nullptr);
    LONG upper = 0;
    ASSERT_EQ(::SafeArrayGetUBound(array.Get(), 1, &upper), S_OK);
    EXPECT_EQ(upper, 1);  // dimension 1 holds the rows

    LONG value = 12;
    LONG rowOneColumnTwo[2] = {1, 2};
    EXPECT_EQ(::SafeArrayPutElement(array.Get(), rowOneColumnTwo, &value), S_OK);
    LONG reversed[2] = {2, 1};
    EXPECT_EQ(::SafeArrayPutElement(array.Get(), reversed, &value), DISP_E_BADINDEX);

    {
        const win32::SafeArrayLock lock(array.Get());
        auto* data = static_cast<LONG*>(lock.Data());
        for (LONG column = 0; column < 3; ++column) {
            for (LONG row = 0; row < 2; ++row) {
                data[column * 2 + row] = row * 10 + column;
            }
        }
    }
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_ARRAY | VT_I4;
    v.parray = array.Get();
    const HostValue converted = ToHostValue(v);
    ASSERT_EQ(converted.bounds, (std::vector<HostValue::Bound>{{0, 2}, {0, 3}}));
    for (std::int32_t row = 0; row < 2; ++row) {
        for (std::int32_t column = 0; column < 3; ++column) {
            const HostValue* element = converted.At({row, column});
            ASSERT_NE(element, nullptr);
            EXPECT_EQ(*element, HostValue::Int32(row * 10 + column)) << row << "," << column;
        }
    }
    // First subscript slowest in the flattened elements.
    EXPECT_EQ(converted.elements[1], HostValue::Int32(1));
    EXPECT_EQ(converted.elements[3], HostValue::Int32(10));
}

TEST(VariantConvertTest, TwoDimensionalArrayKeepsNonzeroLowerBounds) {
    SAFEARRAYBOUND bounds[2] = {{2, 1}, {3, static_cast<LONG>(-1)}};  // rows 1..2, columns -1..1
    SafeArray array(::SafeArrayCreate(VT_VARIANT, 2, bounds));
    ASSERT_NE(array.Get(), nullptr);
    for (LONG row = 1; row <= 2; ++row) {
        for (LONG column = -1; column <= 1; ++column) {
            Variant element = ToVariant(HostValue::String(std::to_string(row) + ":" + std::to_string(column)));
            LONG indices[2] = {row, column};
            ASSERT_EQ(::SafeArrayPutElement(array.Get(), indices, const_cast<VARIANT*>(&element.Get())), S_OK);
        }
    }
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_ARRAY | VT_VARIANT;
    v.parray = array.Get();
    const HostValue converted = ToHostValue(v);
    ASSERT_TRUE(converted.IsArray());
    EXPECT_EQ(converted.bounds, (std::vector<HostValue::Bound>{{1, 2}, {-1, 3}}));
    const std::vector<std::string> expected = {"1:-1", "1:0", "1:1", "2:-1", "2:0", "2:1"};
    ASSERT_EQ(converted.elements.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(converted.elements[i], HostValue::String(expected[i])) << i;
    }
}

TEST(VariantConvertTest, IntersectionAnswerGivesThePointOnCurveAAtRowZeroColumnOne) {
    // One hit: row 0 of nine columns; column 0 the event type, 1 the point on curve A.
    const HostValue answer = HostValue::Array(
        {HostValue::Int32(1), HostValue::Point(-20, 10, 0), HostValue::Point(-20, 10, 0), HostValue::Double(0),
         HostValue::Double(0), HostValue::Double(0), HostValue::Double(0), HostValue::Double(0), HostValue::Double(0)},
        {{0, 1}, {0, 9}});
    const Variant v = ToVariant(answer);
    ASSERT_EQ(v.Type(), VT_ARRAY | VT_VARIANT);
    Variant cell;
    LONG indices[2] = {0, 1};
    ASSERT_EQ(::SafeArrayGetElement(v.Get().parray, indices, cell.Put()), S_OK);
    EXPECT_EQ(ToHostValue(cell.Get()), HostValue::Point(-20, 10, 0));
    const HostValue back = ToHostValue(v.Get());
    ASSERT_NE(back.At({0, 1}), nullptr);
    EXPECT_EQ(*back.At({0, 1}), HostValue::Point(-20, 10, 0));
}

TEST(VariantConvertTest, TypedArraysOfEveryReadableKind) {
    static const struct {
        const char* name;
        VARTYPE elementType;
        HostValue expectedFirst;
    } kCases[] = {
        {"i2", VT_I2, HostValue::Int16(0)},       {"ui1", VT_UI1, HostValue::Int16(0)},
        {"i4", VT_I4, HostValue::Int32(0)},       {"r4", VT_R4, HostValue::Double(0)},
        {"r8", VT_R8, HostValue::Double(0)},      {"bool", VT_BOOL, HostValue::Bool(false)},
        {"bstr", VT_BSTR, HostValue::String("")}, {"variant", VT_VARIANT, HostValue::Empty()},
        {"date", VT_DATE, OtherValue()},          {"decimal", VT_DECIMAL, OtherValue()},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        SafeArray array(::SafeArrayCreateVector(c.elementType, 1, 4));
        ASSERT_NE(array.Get(), nullptr);
        VARIANT v;
        ::VariantInit(&v);
        v.vt = VT_ARRAY | c.elementType;
        v.parray = array.Get();
        const HostValue converted = ToHostValue(v);
        ASSERT_TRUE(converted.IsArray());
        EXPECT_EQ(converted.bounds, (std::vector<HostValue::Bound>{{1, 4}}));
        ASSERT_EQ(converted.elements.size(), 4u);
        EXPECT_EQ(converted.elements[3], c.expectedFirst);
    }
}

TEST(VariantConvertTest, ObjectElementsAreReportedAndTheirReferencesReturned) {
    win32_test::TestDispatch object;
    SafeArray array(::SafeArrayCreateVector(VT_DISPATCH, 0, 2));
    ASSERT_NE(array.Get(), nullptr);
    LONG index = 1;
    ASSERT_EQ(::SafeArrayPutElement(array.Get(), &index, static_cast<IDispatch*>(&object)), S_OK);
    const ULONG held = object.References();
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_ARRAY | VT_DISPATCH;
    v.parray = array.Get();
    const HostValue converted = ToHostValue(v);
    EXPECT_EQ(converted, HostValue::Array({ObjectValue(), ObjectValue()}));
    EXPECT_EQ(object.References(), held);
    array.Reset();
    EXPECT_EQ(object.References(), 1u);
}

TEST(VariantConvertTest, CoreValuesBecomeTheAutomationTypes) {
    static const struct {
        const char* name;
        HostValue input;
        VARTYPE expectedType;
    } kCases[] = {
        {"empty", HostValue::Empty(), VT_EMPTY},     {"null", HostValue::Null(), VT_NULL},
        {"bool", HostValue::Bool(true), VT_BOOL},    {"int16", HostValue::Int16(-4), VT_I2},
        {"int32", HostValue::Int32(1 << 20), VT_I4}, {"double", HostValue::Double(0.5), VT_R8},
        {"string", HostValue::String("x"), VT_BSTR}, {"array", HostValue::Point(0, 0, 0), VT_ARRAY | VT_VARIANT},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const Variant v = ToVariant(c.input);
        EXPECT_EQ(v.Type(), c.expectedType);
        EXPECT_EQ(ToHostValue(v.Get()), c.input);
    }
    EXPECT_EQ(ToVariant(HostValue::Bool(true)).Get().boolVal, VARIANT_TRUE);
    EXPECT_EQ(ToVariant(HostValue::Int16(-4)).Get().iVal, -4);
}

TEST(VariantConvertTest, ArrayArgumentKeepsItsShapeAndLowerBounds) {
    std::vector<HostValue> elements;
    for (int i = 0; i < 6; ++i) {
        elements.push_back(HostValue::Int16(static_cast<std::int16_t>(i)));
    }
    const HostValue input = HostValue::Array(elements, {{1, 2}, {-1, 3}});
    const Variant v = ToVariant(input);
    ASSERT_EQ(v.Type(), VT_ARRAY | VT_VARIANT);
    SAFEARRAY* array = v.Get().parray;
    ASSERT_EQ(::SafeArrayGetDim(array), 2u);
    const auto dims = win32::SafeArrayDimensions(array);
    ASSERT_EQ(dims.size(), 2u);
    EXPECT_EQ(dims[0].lower, 1);
    EXPECT_EQ(dims[0].count, 2u);
    EXPECT_EQ(dims[1].lower, -1);
    EXPECT_EQ(dims[1].count, 3u);
    Variant cell;
    LONG indices[2] = {2, 0};  // second row, middle column: element 4
    ASSERT_EQ(::SafeArrayGetElement(array, indices, cell.Put()), S_OK);
    EXPECT_EQ(cell.Type(), VT_I2);
    EXPECT_EQ(cell.Get().iVal, 4);
}

TEST(VariantConvertTest, ValuesTheHostCannotTakeAreRefused) {
    static const struct {
        const char* name;
        HostValue input;
    } kCases[] = {
        {"object", ObjectValue()},
        {"other", OtherValue()},
        {"int16 out of range",
         [] {
             HostValue v = HostValue::Int16(0);
             v.number = 40000;
             return v;
         }()},
        {"int32 not a number",
         [] {
             HostValue v = HostValue::Int32(0);
             v.number = std::nan("");
             return v;
         }()},
        {"bounds larger than elements", HostValue::Array({HostValue::Int16(1)}, {{0, 2}})},
        {"no dimensions", HostValue::Array({}, {})},
        {"bad element deep inside", HostValue::Array({HostValue::String("a"), HostValue::Array({ObjectValue()})})},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW((void)ToVariant(c.input), std::invalid_argument);
    }
}

HostValue NestedSample() {
    std::vector<HostValue> grid;
    for (int i = 0; i < 6; ++i) {
        grid.push_back(i % 2 == 0 ? HostValue::Point(i, -i, 0.25) : HostValue::String("row " + std::to_string(i)));
    }
    return HostValue::Array({HostValue::String("\xE2\x82\xAC id"), HostValue::Int16(-7), HostValue::Int32(100000),
                             HostValue::Double(1e-300), HostValue::Bool(true), HostValue::Null(), HostValue::Empty(),
                             HostValue::Array(std::move(grid), {{-2, 3}, {5, 2}}),
                             HostValue::Array({HostValue::Array({HostValue::Array({HostValue::Int16(9)})})})});
}

TEST(VariantConvertTest, NestedValuesSurviveARoundTrip) {
    const HostValue sample = NestedSample();
    const Variant v = ToVariant(sample);
    EXPECT_EQ(ToHostValue(v.Get()), sample);
}

// Counts the blocks the COM task allocator hands out (BSTRs and SAFEARRAYs live there).
class CountingMallocSpy final : public IMallocSpy {
  public:
    std::size_t Live() const { return live_.size(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMallocSpy)) {
            *out = static_cast<IMallocSpy*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override { return size; }
    void* STDMETHODCALLTYPE PostAlloc(void* actual) override {
        if (actual != nullptr) {
            live_.insert(actual);
        }
        return actual;
    }
    void* STDMETHODCALLTYPE PreFree(void* request, BOOL) override {
        live_.erase(request);
        return request;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T size, void** newRequest, BOOL) override {
        live_.erase(request);
        *newRequest = request;
        return size;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL) override { return PostAlloc(actual); }
    void* STDMETHODCALLTYPE PreGetSize(void* request, BOOL) override { return request; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, BOOL) override { return size; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* request, BOOL) override { return request; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}

  private:
    std::set<void*> live_;
};

// Turns the BSTR cache off so that every freed string goes back to the task allocator.
void DisableBstrCache() {
    using SetOaNoCacheFn = void(WINAPI*)();
    if (HMODULE oleaut = ::GetModuleHandleW(L"oleaut32.dll")) {
        if (auto fn =
                reinterpret_cast<SetOaNoCacheFn>(reinterpret_cast<void*>(::GetProcAddress(oleaut, "SetOaNoCache")))) {
            fn();
        }
    }
}

TEST(VariantConvertTest, ConversionsLeaveNoAllocationBehind) {
    DisableBstrCache();
    CountingMallocSpy spy;
    ASSERT_EQ(::CoRegisterMallocSpy(&spy), S_OK);
    const HostValue sample = NestedSample();
    {
        // Warm-up: anything the system allocates once for good is not counted as a leak.
        const Variant v = ToVariant(sample);
        (void)ToHostValue(v.Get());
    }
    const std::size_t before = spy.Live();
    for (int i = 0; i < 20; ++i) {
        const Variant v = ToVariant(sample);
        EXPECT_EQ(ToHostValue(v.Get()), sample);
        // A failure deep inside an array after strings and sub-arrays were made.
        HostValue bad = sample;
        bad.elements.back().elements.push_back(ObjectValue());
        bad.elements.back().bounds[0].count += 1;
        EXPECT_THROW((void)ToVariant(bad), std::invalid_argument);
    }
    {
        // The spy does see what a conversion holds.
        const Variant held = ToVariant(sample);
        EXPECT_GT(spy.Live(), before);
    }
    EXPECT_EQ(spy.Live(), before);
    (void)::CoRevokeMallocSpy();
}

}  // namespace
