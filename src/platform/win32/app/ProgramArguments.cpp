#include "platform/win32/app/ProgramArguments.h"

// shellapi.h needs the Windows include before it.
#include "platform/win32/base/WinInclude.h"

#include <shellapi.h>

#include "platform/win32/base/TextConversion.h"
#include "platform/win32/base/UniqueHandle.h"

namespace win32 {

namespace {

// The array CommandLineToArgvW allocates with LocalAlloc, freed with LocalFree.
struct ArgumentArrayTraits {
    using Handle = wchar_t**;
    static Handle Invalid() noexcept { return nullptr; }
    static bool IsValid(Handle h) noexcept { return h != nullptr; }
    static void Close(Handle h) noexcept { (void)::LocalFree(h); }  // nothing to do if it fails
};

}  // namespace

std::vector<std::string> ProgramArguments() {
    int count = 0;
    const UniqueHandle<ArgumentArrayTraits> argv(::CommandLineToArgvW(::GetCommandLineW(), &count));
    std::vector<std::string> args;
    for (int i = 1; argv.IsValid() && i < count; ++i) {
        args.push_back(WideToUtf8(argv.Get()[i]));
    }
    return args;
}

}  // namespace win32
