#include "platform/win32/base/QueuedInput.h"

#include <optional>

#include "platform/win32/base/WinInclude.h"

namespace win32 {

void DropQueuedInput() {
    // A capture taken by a press (an edit box selecting text) would keep every mouse message
    // for this thread until the release, which the user may make anywhere meanwhile. With the
    // queues attached, GetCapture may answer the host's window: only our own is released.
    if (const HWND capture = ::GetCapture();
        capture != nullptr && ::GetWindowThreadProcessId(capture, nullptr) == ::GetCurrentThreadId()) {
        (void)::ReleaseCapture();  // fails only when this thread holds no capture
    }
    // By message range, not by PM_QS_INPUT: a posted mouse or key message is not device input
    // to the queue, yet it runs a handler all the same. PeekMessage returns WM_QUIT whatever the
    // range: the program's end (its docked panel gone with the host's window) is posted again
    // for the loop that owns it.
    std::optional<WPARAM> quit;
    static const struct {
        UINT first;
        UINT last;
    } kInputRanges[] = {
        {WM_KEYFIRST, WM_KEYLAST},
        {WM_MOUSEFIRST, WM_MOUSELAST},
        {WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK},
    };
    for (const auto& range : kInputRanges) {
        MSG msg{};
        while (!quit && ::PeekMessageW(&msg, nullptr, range.first, range.last, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = msg.wParam;
            }
            // anything else: dropped
        }
    }
    if (quit) {
        ::PostQuitMessage(static_cast<int>(*quit));
    }
}

}  // namespace win32
