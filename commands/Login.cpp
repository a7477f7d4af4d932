// The login entry: reading it at attach, and the exported switch for the launcher.
#include "commands/Login.h"

#include "hook/Exports.h"
#include "hook/Registry.h"
#include "hook/SettingsNames.h"

#include <cstring>

namespace mirelunde {

namespace {
constexpr unsigned kEntrySize = 1024;
constexpr char kLauncherName[] = "mirelunde";
}  // namespace

bool IsRunAtLogin()
{
    char entry[kEntrySize];
    if (!ReadRegString(HKEY_CURRENT_USER, names::kRunKey, names::kRunEntry, entry, kEntrySize - 1)) return false;
    return _strnicmp(entry, kLauncherName, sizeof kLauncherName - 1) == 0;
}

}  // namespace mirelunde

// Not built yet: the entry is neither written nor removed.
extern "C" LONG WINAPI RunAtLogin(bool, const char*) noexcept
{
    return ERROR_CALL_NOT_IMPLEMENTED;
}
