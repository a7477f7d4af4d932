// Leaving a program alone at the user's word: the list of excluded programs, the put-back in each of
// the program's threads, and the hooks left passing messages on.
#include "commands/LeaveAlone.h"

#include "actions/WindowTable.h"
#include "commands/CommandTexts.h"
#include "settings/ExcludedPrograms.h"
#include "settings/ProcessSettings.h"
#include "settings/SettingsNames.h"

#include <cstdio>
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

void LeaveProgramAlone(HWND owner)
{
    const bool listed = AddExcludedProgram(processSettings.exePath);
    processSettings.hooksActive = false;

    // The request the launcher sends as it stops, answered by the window-procedure hook in the
    // thread that owns the window: this thread's at once, the others' when they next handle a
    // message, so nothing here waits on a thread that is busy.
    if (const UINT request = RegisterWindowMessageA(names::kRestoreMessage)) {
        ThreadWindow threads;
        EnumWindows(CollectOwnThreadWindow, reinterpret_cast<LPARAM>(&threads));
        for (const auto& [thread, window] : threads) SendNotifyMessageA(window, request, 0, 0);
    }

    if (listed) return;
    char text[texts::kLeaveAloneTextSize];
    std::snprintf(text, sizeof text, texts::kNotListedFormat, names::kExcludedPrograms);
    MessageBoxA(BoxOwner(owner), text, names::kCaption, MB_OK);
}

}  // namespace mirelunde
