#include "platform/win32/base/TextConversion.h"

#include <climits>
#include <new>

#include "platform/win32/base/WinInclude.h"

namespace win32 {

namespace {

// The conversion APIs take int lengths; text longer than that cannot come from the
// panel or the host, so it is refused rather than silently cut.
int CheckedLength(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) {
        throw std::bad_alloc();
    }
    return static_cast<int>(size);
}

}  // namespace

int Utf8WideLength(std::string_view utf8) {
    if (utf8.empty()) {
        return 0;
    }
    // Flags 0: invalid sequences are replaced, not rejected.
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), CheckedLength(utf8.size()), nullptr, 0);
    return length > 0 ? length : 0;
}

void Utf8ToWideInto(std::string_view utf8, wchar_t* out, int outLength) {
    if (outLength > 0) {
        (void)::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), CheckedLength(utf8.size()), out, outLength);
    }
}

std::wstring Utf8ToWide(std::string_view utf8) {
    const int length = Utf8WideLength(utf8);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    Utf8ToWideInto(utf8, wide.data(), length);
    return wide;
}

std::string WideToUtf8(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int inLength = CheckedLength(wide.size());
    const int outLength = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), inLength, nullptr, 0, nullptr, nullptr);
    if (outLength <= 0) {
        return {};
    }
    std::string utf8(static_cast<std::size_t>(outLength), '\0');
    (void)::WideCharToMultiByte(CP_UTF8, 0, wide.data(), inLength, utf8.data(), outLength, nullptr, nullptr);
    return utf8;
}

}  // namespace win32
