#include "platform/win32/windows/Modal.h"

#include "platform/win32/windows/MessageLoop.h"

namespace win32 {

HWND ModalDisabledWindow(HWND owner) {
    if (owner == nullptr) {
        return nullptr;
    }
    const HWND form = FormOf(owner);
    return form != nullptr ? form : owner;
}

void RunModal(FormWindow& modal, HWND owner, const std::function<bool()>& finished) {
    const HWND disabled = ModalDisabledWindow(owner);
    // EnableWindow answers whether the window was disabled already (an outer modal
    // window did it); only a window this call disabled is enabled again.
    const bool wasDisabled = disabled != nullptr && ::EnableWindow(disabled, FALSE) != FALSE;

    (void)::ShowWindow(modal.Hwnd(), SW_SHOW);  // returns the previous visibility
    (void)::SetForegroundWindow(modal.Hwnd());  // may be refused; the window is shown either way

    bool quit = false;
    int quitCode = 0;
    MSG msg{};
    while (modal.Hwnd() != nullptr && !finished()) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            quit = got == 0;
            quitCode = static_cast<int>(msg.wParam);
            break;
        }
        DispatchFormMessage(msg);
    }

    if (disabled != nullptr && !wasDisabled) {
        (void)::EnableWindow(disabled, TRUE);
    }
    modal.Destroy();
    if (quit) {
        ::PostQuitMessage(quitCode);
    }
}

}  // namespace win32
