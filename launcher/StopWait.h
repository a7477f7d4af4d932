// Waiting for the stop request: "HHook" set to 0 in the settings key, by whoever.
#pragma once

#include <windows.h>

namespace mirelunde {

// Sleeps until "HHook" reads 0 or `alsoStop` is set (true either way), woken by registry change
// notifications, and dispatches this thread's messages meanwhile: on Windows the system calls the
// hooks of the other architecture's programs in the thread that installed them. False when the
// settings key cannot be watched.
bool WaitForStop(HANDLE alsoStop);

}  // namespace mirelunde
