// The two hook procedures that the launcher installs for every GUI thread of the desktop.
#include "hook/Exports.h"
#include "hook/ProcessSettings.h"

using mirelunde::processSettings;

// Runs for every message every GUI thread takes from its queue: keep it cheap.
extern "C" LRESULT CALLBACK BrackwenGetMsgProc(int code, WPARAM wParam, LPARAM lParam) noexcept
{
    return CallNextHookEx(processSettings.getMessageHook, code, wParam, lParam);
}

// Runs for every message sent to a window: keep it cheap.
extern "C" LRESULT CALLBACK BrackwenCallWndProc(int code, WPARAM wParam, LPARAM lParam) noexcept
{
    return CallNextHookEx(processSettings.callWndProcHook, code, wParam, lParam);
}
