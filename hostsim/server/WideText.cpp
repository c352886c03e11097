#include "hostsim/server/WideText.h"

#include <limits>
#include <stdexcept>

#include "hostsim/server/WinInclude.h"

namespace hostsim {

namespace {

int CheckedLength(std::size_t size) {
    if (size > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        throw std::length_error("text too long to convert");
    }
    return static_cast<int>(size);
}

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int inLength = CheckedLength(utf8.size());
    const int outLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, nullptr, 0);
    if (outLength <= 0) {
        throw std::runtime_error("MultiByteToWideChar failed");
    }
    std::wstring wide(static_cast<std::size_t>(outLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, wide.data(), outLength);
    return wide;
}

std::string WideToUtf8(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int inLength = CheckedLength(wide.size());
    const int outLength = WideCharToMultiByte(CP_UTF8, 0, wide.data(), inLength, nullptr, 0, nullptr, nullptr);
    if (outLength <= 0) {
        throw std::runtime_error("WideCharToMultiByte failed");
    }
    std::string utf8(static_cast<std::size_t>(outLength), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), inLength, utf8.data(), outLength, nullptr, nullptr);
    return utf8;
}

}  // namespace hostsim
