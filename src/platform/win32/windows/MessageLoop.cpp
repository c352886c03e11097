#include "platform/win32/windows/MessageLoop.h"

#include <cwchar>
#include <iterator>

#include "platform/win32/base/MonotonicClock.h"
#include "platform/win32/base/QueuedInput.h"
#include "platform/win32/windows/WindowClass.h"

namespace win32 {

HWND FormOf(HWND hwnd) {
    const HWND desktop = ::GetDesktopWindow();
    for (HWND current = hwnd; current != nullptr && current != desktop; current = ::GetAncestor(current, GA_PARENT)) {
        wchar_t className[64] = {};
        if (::GetClassNameW(current, className, static_cast<int>(std::size(className))) > 0 &&
            std::wcscmp(className, FormClassName()) == 0) {
            return current;
        }
    }
    return nullptr;
}

void DispatchFormMessage(MSG& msg) {
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
        const HWND form = FormOf(msg.hwnd);
        if (form != nullptr && ::IsDialogMessageW(form, &msg)) {
            return;
        }
    }
    (void)::TranslateMessage(&msg);  // returns whether a character message was made; either is fine
    (void)::DispatchMessageW(&msg);  // the window procedure's result means nothing here
}

int RunMessageLoop() {
    MSG msg{};
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            break;  // WM_QUIT, or a broken queue that can deliver nothing more
        }
        DispatchFormMessage(msg);
    }
    return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

void LetPendingMessagesRun() {
    MSG msg{};
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave it for the loop that owns the program's end.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        DispatchFormMessage(msg);
    }
}

void PauseLettingPaintRun(std::uint32_t milliseconds) {
    const std::uint64_t start = MonotonicMilliseconds();
    for (;;) {
        MSG msg{};
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) {
            (void)::DispatchMessageW(&msg);  // the window procedure's result means nothing here
        }
        // After the painting, and once more at the end: input that arrived meanwhile goes too.
        DropQueuedInput();
        const std::uint64_t elapsed = MonotonicMilliseconds() - start;
        if (elapsed >= milliseconds) {
            return;
        }
        // Wakes for paint, for sent messages (the wait itself delivers them) and for input, so
        // that input is dropped as it comes rather than held until the pause ends.
        (void)::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(milliseconds - elapsed),
                                          QS_PAINT | QS_SENDMESSAGE | QS_INPUT);
    }
}

}  // namespace win32
