// The last step of a stop: every GUI thread on the desktop puts back what the library changed.
#pragma once

#include <windows.h>

namespace mirelunde {

// Sends the put-back request to one top-level window of every GUI thread and waits for each
// thread's answer, passing over hung threads and any that takes longer than `waitPerThreadMs`.
// The library's window-procedure hook must still be installed, and its message hook already gone,
// so no gesture can change a window again afterwards. Returns the number of threads that answered.
int AskThreadsToPutWindowsBack(DWORD waitPerThreadMs);

}  // namespace mirelunde
