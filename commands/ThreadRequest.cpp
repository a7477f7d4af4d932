// The request each thread of this program answers for its own windows: one window of each thread asked.
#include "commands/ThreadRequest.h"

#include <windows.h>

#include <map>

namespace mirelunde {

namespace {

using ThreadWindow = std::map<DWORD, HWND>;

// One top-level window of each thread of this process.
BOOL CALLBACK CollectOwnThreadWindow(HWND window, LPARAM param) noexcept
{
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return TRUE;
    try {
        reinterpret_cast<ThreadWindow*>(param)->emplace(thread, window);
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

}  // namespace

void AskEveryOwnThread(names::ThreadRequest what)
{
    const UINT request = RegisterWindowMessageA(names::kRestoreMessage);
    if (request == 0) return;
    ThreadWindow threads;
    EnumWindows(CollectOwnThreadWindow, reinterpret_cast<LPARAM>(&threads));
    for (const auto& [thread, window] : threads) SendNotifyMessageA(window, request, what, 0);
}

}  // namespace mirelunde
