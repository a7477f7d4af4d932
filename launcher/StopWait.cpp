// The launcher's wait for the stop request, on registry change notifications.
#include "launcher/StopWait.h"

#include "settings/Handles.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"

namespace mirelunde {

namespace {

bool HHookIsZero()
{
    DWORD value = 1;
    return ReadRegDword(HKEY_CURRENT_USER, names::kSettingsKey, names::kHHook, value) && value == 0;
}

HANDLE StoppedEvent()
{
    static const HANDLE stopped = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    return stopped;
}

}  // namespace

bool WaitForStop(HANDLE alsoStop)
{
    RegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, names::kSettingsKey, 0, KEY_NOTIFY | KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS)
        return false;
    const Handle changed(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!changed) return false;

    const HANDLE events[] = {changed.get(), alsoStop};
    const DWORD count = alsoStop != nullptr ? 2 : 1;
    // Each arming registers one more notification, so the key is watched again only once the last
    // one has fired, not on every message that wakes this thread.
    bool armed = false;
    for (;;) {
        if (!armed) {
            // Armed before reading, so a write between the two is never missed.
            if (RegNotifyChangeKeyValue(key.get(), FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed.get(), TRUE) !=
                ERROR_SUCCESS)
                return false;
            armed = true;
            if (HHookIsZero()) return true;
        }
        const DWORD woken = MsgWaitForMultipleObjects(count, events, FALSE, INFINITE, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) {
            armed = false;
        } else if (woken == WAIT_OBJECT_0 + 1 && count == 2) {
            return true;
        } else if (woken == WAIT_FAILED) {
            return false;
        } else {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        }
    }
}

HANDLE StopEvent()
{
    static const HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    return stop;
}

void RequestStop()
{
    WriteRegDword(HKEY_CURRENT_USER, names::kSettingsKey, names::kHHook, 0);
    SetEvent(StopEvent());
}

bool StopRequested()
{
    return WaitForSingleObject(StopEvent(), 0) == WAIT_OBJECT_0;
}

void ClearHHook()
{
    if (!HHookIsZero()) WriteRegDword(HKEY_CURRENT_USER, names::kSettingsKey, names::kHHook, 0);
}

void SignalStopped()
{
    SetEvent(StoppedEvent());
}

bool WaitUntilStopped(DWORD timeoutMs)
{
    const HANDLE stopped = StoppedEvent();
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        // The put-back asks one window of every thread, this one's too.
        const DWORD woken = MsgWaitForMultipleObjects(1, &stopped, FALSE, left, QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0 + 1) return woken == WAIT_OBJECT_0;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace mirelunde
