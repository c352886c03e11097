#include "platform/win32/base/Win32Error.h"

#include <string_view>

#include "common/NumberText.h"
#include "platform/win32/base/TextConversion.h"
#include "platform/win32/base/UniqueHandle.h"

namespace win32 {

namespace {

std::string FileName(const char* path) {
    const std::string_view full(path);
    const auto slash = full.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? full : full.substr(slash + 1));
}

std::string Describe(const std::string& api, std::uint32_t code, const std::source_location& where) {
    std::string text = api + " failed: " + common::HexCodeText(code);
    const std::string message = SystemMessage(code);
    if (!message.empty()) {
        text += " " + message;
    }
    return text + " (" + FileName(where.file_name()) + ":" + common::IntegerText(where.line()) + ")";
}

std::string FormatSystemText(DWORD code) {
    // Owned before anything that can throw (the conversion below), so it is freed on every way out.
    UniqueLocalText buffer;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, 0, reinterpret_cast<wchar_t*>(buffer.Put()), 0, nullptr);
    if (length == 0 || !buffer.IsValid()) {
        return {};
    }
    std::wstring_view text(buffer.Get(), length);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.remove_suffix(1);
    }
    return WideToUtf8(text);
}

}  // namespace

Win32Error::Win32Error(std::string api, std::uint32_t code, const std::source_location& where)
    : std::runtime_error(Describe(api, code, where)), api_(std::move(api)), code_(code), where_(where) {}

std::string SystemMessage(std::uint32_t code) {
    std::string text = FormatSystemText(code);
    // An HRESULT wrapping a Win32 error (0x8007xxxx) is often known to the system only
    // by its Win32 code.
    if (text.empty() && HRESULT_FACILITY(static_cast<HRESULT>(code)) == FACILITY_WIN32) {
        text = FormatSystemText(HRESULT_CODE(static_cast<HRESULT>(code)));
    }
    return text;
}

}  // namespace win32
