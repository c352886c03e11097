#pragma once

namespace win32 {

// Removes and drops every mouse and keyboard message queued for this thread (client and
// non-client mouse messages, key and character messages; posted or from the devices), and
// releases the mouse capture when a window of this thread holds it. Messages sent by other
// threads meanwhile are delivered, as PeekMessage does; nothing else is removed. For a wait on
// the host: input left unread holds up the input of every thread attached to this one (a
// panel docked into the host's window shares the host's input queue) and would run once the
// wait is over.
// A WM_QUIT met on the way (PeekMessage returns it whatever the range) is posted again.
void DropQueuedInput();

}  // namespace win32
