#include "platform/win32/com/Bstr.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/base/TextConversion.h"

namespace {

using win32::Bstr;

TEST(BstrTest, KeepsTextByLengthAndConvertsUtf8) {
    static const struct {
        const char* name;
        std::string utf8;
        std::wstring wide;
    } kCases[] = {
        {"ascii", "Curtate", L"Curtate"},
        {"empty", "", L""},
        {"accents and euro", "r\xC3\xA9sum\xC3\xA9 \xE2\x82\xAC", L"r\u00E9sum\u00E9 \u20AC"},
        {"outside the BMP", "\xF0\x9F\x93\x90", L"\U0001F4D0"},
        {"embedded NUL", std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(win32::Utf8ToWide(c.utf8), c.wide);
        EXPECT_EQ(win32::WideToUtf8(c.wide), c.utf8);
        const Bstr b = Bstr::FromUtf8(c.utf8);
        EXPECT_EQ(b.View(), c.wide);
    }
    EXPECT_EQ(win32::Utf8ToWide("\xFF"
                                "x"),
              L"\uFFFDx");
    EXPECT_EQ(Bstr::FromUtf8("\xFF"
                             "x")
                  .View(),
              L"\uFFFDx");
    EXPECT_NE(Bstr::FromUtf8("").Get(), nullptr) << "an empty text is an empty BSTR, not a null one";
    // A command-sized text, converted straight into the BSTR: every unit is there, no more.
    const std::string big = std::string(1 << 20, '7') + "\xE2\x82\xAC";
    const Bstr bigBstr = Bstr::FromUtf8(big);
    ASSERT_EQ(bigBstr.View().size(), (1u << 20) + 1);
    EXPECT_EQ(::SysStringLen(bigBstr.Get()), (1u << 20) + 1);
    EXPECT_EQ(bigBstr.View().back(), L'\u20AC');
    EXPECT_EQ(win32::WideToUtf8(bigBstr.View()), big);
    Bstr moved = Bstr(L"x");
    Bstr target = std::move(moved);
    EXPECT_EQ(moved.Get(), nullptr);
    EXPECT_EQ(target.View(), L"x");
    EXPECT_EQ(Bstr().View(), L"");
}

}  // namespace
