// The launcher's wait for the stop request, on registry change notifications.
#include "launcher/StopWait.h"

#include "settings/Handles.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"

namespace mirelunde {

namespace {

bool StopRequested()
{
    DWORD value = 1;
    return ReadRegDword(HKEY_CURRENT_USER, names::kSettingsKey, names::kHHook, value) && value == 0;
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
            if (StopRequested()) return true;
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

}  // namespace mirelunde
