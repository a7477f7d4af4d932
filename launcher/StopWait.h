// Waiting for the stop request: "HHook" set to 0 in the settings key, by whoever; and the stop that
// reaches this launcher alone.
#pragma once

#include <windows.h>

namespace mirelunde {

// Sleeps until "HHook" reads 0 or `alsoStop` is set (true either way), woken by registry change
// notifications, and dispatches this thread's messages meanwhile: on Windows the system calls the
// hooks of the other architecture's programs in the thread that installed them. False when the
// settings key cannot be watched.
bool WaitForStop(HANDLE alsoStop);

// A stop that reaches this launcher alone (its console's Ctrl+C or close, its icon's window closed
// from outside, the end of the session) is a stop like -k: "HHook" is set to 0 for every launcher,
// and this one's wait is woken even where the registry cannot be written.
void RequestStop();
// Set by RequestStop; the main thread waits on it besides "HHook".
HANDLE StopEvent();
bool StopRequested();
// Sets "HHook" to 0 unless it reads 0: after a stop requested here, this launcher's own handle, or
// the companion's, may have been published after the request.
void ClearHHook();
// The main thread has put every window back and its companion has ended.
void SignalStopped();
// Waits, at most `timeoutMs`, for SignalStopped, answering messages sent to the calling thread
// meanwhile: for those after whom the system may end this process at once (a session ending, a
// console closing).
bool WaitUntilStopped(DWORD timeoutMs);

}  // namespace mirelunde
