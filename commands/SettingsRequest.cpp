// Asking the launcher for its settings window: through the event it listens to, or with a message to
// its hidden window.
#include "commands/SettingsRequest.h"

#include "settings/Handles.h"
#include "settings/SettingsNames.h"

#include <windows.h>

namespace mirelunde {

bool AskForSettingsWindow()
{
    const HWND launcher = FindWindowA(names::kLauncherWindowClass, nullptr);
    const UINT request = RegisterWindowMessageA(names::kSettingsRequest);
    if (launcher == nullptr || request == 0) return false;
    // The user is working in this program, so it may hand the foreground on to the window asked for.
    DWORD launcherProcess = 0;
    GetWindowThreadProcessId(launcher, &launcherProcess);
    AllowSetForegroundWindow(launcherProcess);
    // A launcher run as administrator takes the request from the user's programs only this way.
    if (const Handle event{OpenEventA(EVENT_MODIFY_STATE, FALSE, names::kSettingsRequestEvent)})
        return SetEvent(event.get()) != FALSE;
    return PostMessageA(launcher, request, 0, 0) != FALSE;
}

}  // namespace mirelunde
