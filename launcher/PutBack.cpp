// The put-back request: a registered message that the library's window-procedure hook answers in
// the thread that owns the window, where changing that thread's windows waits on nobody.
#include "launcher/PutBack.h"

#include "settings/SettingsNames.h"

#include <map>
#include <vector>

namespace mirelunde {

namespace {

using ThreadWindows = std::map<DWORD, std::vector<HWND>>;

BOOL CALLBACK CollectThreadWindow(HWND window, LPARAM param) noexcept
{
    try {
        (*reinterpret_cast<ThreadWindows*>(param))[GetWindowThreadProcessId(window, nullptr)].push_back(window);
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int AskThreadsToPutWindowsBack(DWORD waitPerThreadMs)
{
    const UINT request = RegisterWindowMessageA(names::kRestoreMessage);
    if (request == 0) return 0;
    ThreadWindows threads;
    EnumWindows(CollectThreadWindow, reinterpret_cast<LPARAM>(&threads));
    int answered = 0;
    for (const auto& [thread, windows] : threads) {
        // The thread's next window if one has gone in the meantime; a thread that is hung or does
        // not answer in time is not asked again.
        for (const HWND window : windows) {
            DWORD_PTR result = 0;
            if (SendMessageTimeoutA(window, request, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, waitPerThreadMs, &result)) {
                ++answered;
                break;
            }
            if (IsWindow(window)) break;
        }
    }
    return answered;
}

}  // namespace mirelunde
