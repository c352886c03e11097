#include "hostsim/server/VariantConvert.h"

#include <gtest/gtest.h>

#include <cmath>

namespace hostsim {
namespace {

Variant Scalar(VARTYPE type) {
    Variant v;
    v.Get().vt = type;
    return v;
}

TEST(VariantConvertTest, ScalarsReadAsTheirKind) {
    Variant i2 = Scalar(VT_I2);
    i2.Get().iVal = -7;
    Variant i4 = Scalar(VT_I4);
    i4.Get().lVal = 70000;
    Variant r8 = Scalar(VT_R8);
    r8.Get().dblVal = 2.5;
    Variant yes = Scalar(VT_BOOL);
    yes.Get().boolVal = VARIANT_TRUE;
    Variant no = Scalar(VT_BOOL);
    no.Get().boolVal = VARIANT_FALSE;
    Variant text = Scalar(VT_BSTR);
    text.Get().bstrVal = SysAllocString(L"Sel\u00e9ct");
    Variant nullText = Scalar(VT_BSTR);
    Variant empty;
    Variant null = Scalar(VT_NULL);
    Variant r4 = Scalar(VT_R4);
    r4.Get().fltVal = 0.5f;
    Variant ui1 = Scalar(VT_UI1);
    ui1.Get().bVal = 200;
    Variant i8 = Scalar(VT_I8);
    i8.Get().llVal = 5000000000LL;

    const struct {
        const char* name;
        const Variant& in;
        Value expected;
    } kCases[] = {
        {"I2", i2, Value::Int16(-7)},
        {"I4", i4, Value::Int32(70000)},
        {"R8", r8, Value::Double(2.5)},
        {"BOOL true", yes, Value::Bool(true)},
        {"BOOL false", no, Value::Bool(false)},
        {"BSTR UTF-8", text,
         Value::String("Sel\xc3\xa9"
                       "ct")},
        {"null BSTR is the empty string", nullText, Value::String("")},
        {"EMPTY", empty, Value::Empty()},
        {"NULL", null, Value::Null()},
        {"R4 widens to Double", r4, Value::Double(0.5)},
        {"UI1 widens to Int32", ui1, Value::Int32(200)},
        {"I8 beyond 32 bits becomes Double", i8, Value::Double(5000000000.0)},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ValueFromVariant(c.in.Get()), c.expected) << ValueFromVariant(c.in.Get()).Text();
    }
}

TEST(VariantConvertTest, ReferencesAreFollowed) {
    short i2 = 12;
    double r8 = -1.25;
    VARIANT_BOOL flag = VARIANT_TRUE;
    Bstr text(L"id");
    BSTR textRef = text.Get();
    Variant inner = Scalar(VT_I4);
    inner.Get().lVal = 9;

    Variant byrefI2 = Scalar(VT_BYREF | VT_I2);
    byrefI2.Get().piVal = &i2;
    Variant byrefR8 = Scalar(VT_BYREF | VT_R8);
    byrefR8.Get().pdblVal = &r8;
    Variant byrefBool = Scalar(VT_BYREF | VT_BOOL);
    byrefBool.Get().pboolVal = &flag;
    Variant byrefBstr = Scalar(VT_BYREF | VT_BSTR);
    byrefBstr.Get().pbstrVal = &textRef;
    Variant byrefVariant = Scalar(VT_BYREF | VT_VARIANT);
    byrefVariant.Get().pvarVal = &inner.Get();

    EXPECT_EQ(ValueFromVariant(byrefI2.Get()), Value::Int16(12));
    EXPECT_EQ(ValueFromVariant(byrefR8.Get()), Value::Double(-1.25));
    EXPECT_EQ(ValueFromVariant(byrefBool.Get()), Value::Bool(true));
    EXPECT_EQ(ValueFromVariant(byrefBstr.Get()), Value::String("id"));
    EXPECT_EQ(ValueFromVariant(byrefVariant.Get()), Value::Int32(9));

    // The referenced values belong to the caller: clearing the reference must not free them.
    byrefBstr.Get().vt = VT_EMPTY;
    byrefVariant.Get().vt = VT_EMPTY;
    byrefI2.Get().vt = byrefR8.Get().vt = byrefBool.Get().vt = VT_EMPTY;
    EXPECT_EQ(text.View(), L"id");
}

TEST(VariantConvertTest, MissingArgumentMarkerIsRecognised) {
    Variant missing = Scalar(VT_ERROR);
    missing.Get().scode = DISP_E_PARAMNOTFOUND;
    Variant otherError = Scalar(VT_ERROR);
    otherError.Get().scode = E_FAIL;
    EXPECT_TRUE(IsMissingArgument(missing.Get()));
    EXPECT_FALSE(IsMissingArgument(otherError.Get()));
    EXPECT_FALSE(IsMissingArgument(Variant().Get()));
}

TEST(VariantConvertTest, ObjectsAreRefused) {
    Variant object = Scalar(VT_DISPATCH);
    object.Get().pdispVal = nullptr;
    EXPECT_THROW(ValueFromVariant(object.Get()), VariantTypeError);
    object.Get().vt = VT_EMPTY;
}

// Pins how this platform's SAFEARRAY functions order dimensions: bounds given leftmost first
// to SafeArrayCreate, indexes given in that same order to Put/GetElement, and the data laid
// out column-major (the leftmost index varies fastest) as automation clients expect.
TEST(VariantConvertTest, SafeArrayIndexesFollowTheBoundsOrder) {
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {3, 0}};  // 2 rows, 3 columns
    SafeArray array(SafeArrayCreate(VT_I4, 2, bounds));
    ASSERT_NE(array.Get(), nullptr);
    LONG upper = 0;
    ASSERT_HRESULT_SUCCEEDED(SafeArrayGetUBound(array.Get(), 1, &upper));
    EXPECT_EQ(upper, 1);
    ASSERT_HRESULT_SUCCEEDED(SafeArrayGetUBound(array.Get(), 2, &upper));
    EXPECT_EQ(upper, 2);
    for (LONG row = 0; row < 2; ++row) {
        for (LONG column = 0; column < 3; ++column) {
            LONG index[2] = {row, column};
            LONG value = 10 * row + column;
            ASSERT_HRESULT_SUCCEEDED(SafeArrayPutElement(array.Get(), index, &value));
        }
    }
    LONG index[2] = {0, 1};
    LONG read = -1;
    ASSERT_HRESULT_SUCCEEDED(SafeArrayGetElement(array.Get(), index, &read));
    EXPECT_EQ(read, 1);
    void* data = nullptr;
    ASSERT_HRESULT_SUCCEEDED(SafeArrayAccessData(array.Get(), &data));
    const LONG* cells = static_cast<const LONG*>(data);
    const LONG columnMajor[6] = {0, 10, 1, 11, 2, 12};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(cells[i], columnMajor[i]) << "cell " << i;
    }
    ASSERT_HRESULT_SUCCEEDED(SafeArrayUnaccessData(array.Get()));
}

TEST(VariantConvertTest, TwoDimensionalAnswerReadsBackByNaturalIndexes) {
    // A hit row as the intersection answers it: kind, point on A, point on A, point on B, ...
    std::vector<Value> cells;
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column) {
            cells.push_back(Value::Double(10.0 * row + column));
        }
    }
    const Value answer = Value::Array({{0, 2}, {0, 3}}, cells);
    Variant v = VariantFromValue(answer);
    ASSERT_EQ(v.Get().vt, VT_ARRAY | VT_VARIANT);
    ASSERT_EQ(SafeArrayGetDim(v.Get().parray), 2u);
    LONG upper = 0;
    ASSERT_HRESULT_SUCCEEDED(SafeArrayGetUBound(v.Get().parray, 1, &upper));
    EXPECT_EQ(upper, 1);
    ASSERT_HRESULT_SUCCEEDED(SafeArrayGetUBound(v.Get().parray, 2, &upper));
    EXPECT_EQ(upper, 2);
    LONG index[2] = {0, 1};
    Variant element;
    ASSERT_HRESULT_SUCCEEDED(SafeArrayGetElement(v.Get().parray, index, element.Put()));
    ASSERT_EQ(element.Get().vt, VT_R8);
    EXPECT_EQ(element.Get().dblVal, 1.0);
    index[0] = 1;
    index[1] = 0;
    ASSERT_HRESULT_SUCCEEDED(SafeArrayGetElement(v.Get().parray, index, element.Put()));
    EXPECT_EQ(element.Get().dblVal, 10.0);

    EXPECT_EQ(ValueFromVariant(v.Get()), answer);
}

TEST(VariantConvertTest, ValuesSurviveARoundTrip) {
    const struct {
        const char* name;
        Value value;
        VARTYPE vt;
    } kCases[] = {
        {"Empty", Value::Empty(), VT_EMPTY},
        {"Null", Value::Null(), VT_NULL},
        {"Bool", Value::Bool(true), VT_BOOL},
        {"Int16", Value::Int16(-32768), VT_I2},
        {"Int32", Value::Int32(2147483647), VT_I4},
        {"Double", Value::Double(-0.1), VT_R8},
        {"String", Value::String("{6A1F-1}"), VT_BSTR},
        {"empty String", Value::String(""), VT_BSTR},
        {"point", Value::Point(1, 2, 3), VT_ARRAY | VT_VARIANT},
        {"empty array", Value::Array({}), VT_ARRAY | VT_VARIANT},
        {"lower bound 1", Value::Array({{1, 2}}, {Value::String("a"), Value::Int16(2)}), VT_ARRAY | VT_VARIANT},
        {"3-D with bounds",
         Value::Array({{-1, 2}, {1, 1}, {0, 2}}, {Value::Int32(1), Value::Int32(2), Value::Int32(3), Value::Int32(4)}),
         VT_ARRAY | VT_VARIANT},
        {"nested arrays", Value::Array({Value::Point(0, 0, 0), Value::Null(), Value::Array({Value::Bool(false)})}),
         VT_ARRAY | VT_VARIANT},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Variant v = VariantFromValue(c.value);
        EXPECT_EQ(v.Get().vt, c.vt);
        EXPECT_EQ(ValueFromVariant(v.Get()), c.value) << ValueFromVariant(v.Get()).Text();
    }
}

TEST(VariantConvertTest, TypedArraysFromClientsAreRead) {
    SAFEARRAYBOUND bound{3, 0};
    SafeArray doubles(SafeArrayCreate(VT_R8, 1, &bound));
    for (LONG i = 0; i < 3; ++i) {
        double value = 1.5 * i;
        ASSERT_HRESULT_SUCCEEDED(SafeArrayPutElement(doubles.Get(), &i, &value));
    }
    Variant v;
    v.Get().vt = VT_ARRAY | VT_R8;
    v.Get().parray = doubles.Detach();
    EXPECT_EQ(ValueFromVariant(v.Get()), Value::Point(0, 1.5, 3));

    SafeArray strings(SafeArrayCreate(VT_BSTR, 1, &bound));
    for (LONG i = 0; i < 3; ++i) {
        Bstr text(std::wstring(1, static_cast<wchar_t>(L'a' + i)));
        ASSERT_HRESULT_SUCCEEDED(SafeArrayPutElement(strings.Get(), &i, text.Get()));
    }
    SAFEARRAY* held = strings.Get();
    Variant byref;
    byref.Get().vt = VT_BYREF | VT_ARRAY | VT_BSTR;
    byref.Get().pparray = &held;
    EXPECT_EQ(ValueFromVariant(byref.Get()),
              Value::Array({Value::String("a"), Value::String("b"), Value::String("c")}));
    byref.Get().vt = VT_EMPTY;
}

}  // namespace
}  // namespace hostsim
