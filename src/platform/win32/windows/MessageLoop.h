#pragma once

#include <cstdint>

#include "platform/win32/base/WinInclude.h"

namespace win32 {

// The tool's window (of the form class) that `hwnd` is or lies in, walking up through
// parents; null when it lies in none. A docked panel is found before the host window
// around it.
HWND FormOf(HWND hwnd);

// Translates and dispatches one message. Keyboard messages for a form's controls go
// through that form's dialog manager first (IsDialogMessageW), so Tab and Shift+Tab walk
// the controls in tab order, Enter presses the focused button and arrows move between
// option buttons.
void DispatchFormMessage(MSG& msg);

// Runs the thread's message loop until WM_QUIT; returns the quit message's exit code.
int RunMessageLoop();

// Lets the messages already queued for this thread run, then returns as soon as the
// queue is empty. A WM_QUIT met on the way is posted again for the outer loop and ends
// the call. A click waiting in the queue runs its handler from inside this call.
void LetPendingMessagesRun();

// Waits about `milliseconds` while the thread's windows keep painting: only paint messages
// and messages sent by other threads or processes run. Mouse and keyboard input for the
// thread, queued before or arriving during the wait, is read and dropped (DropQueuedInput),
// so no click or keystroke runs, neither now nor later, and the host's input queue, attached
// to a docked panel's, is never held up; a mouse capture of the thread is released.
void PauseLettingPaintRun(std::uint32_t milliseconds);

}  // namespace win32
