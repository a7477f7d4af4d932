// The launcher's request for a shortcut of the user's choice, answered in the thread that owns the
// window it was sent to: the window commands act on that thread's window in front, the commands on
// every window on each of the thread's own.
#pragma once

#include <windows.h>

namespace mirelunde {

// `window` is the one the request was sent to; `command` a ShortcutCommand.
void RunShortcutRequest(HWND window, LPARAM command);

}  // namespace mirelunde
