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
constexpr char kEntryStart[] = "mirelunde.exe ";

// Deleting a value that is not there is not an error, so the outcome is not looked at.
void DeleteRunValue(HKEY root, const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyA(root, names::kRunKey, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

}  // namespace

bool IsRunAtLogin()
{
    char entry[kEntrySize];
    if (!ReadRegString(HKEY_CURRENT_USER, names::kRunKey, names::kRunEntry, entry, kEntrySize - 1)) return false;
    return _strnicmp(entry, kLauncherName, sizeof kLauncherName - 1) == 0;
}

}  // namespace mirelunde

// The result is the status of the machine-wide step, or ERROR_INSUFFICIENT_BUFFER when the options
// were too long to be written.
extern "C" LONG WINAPI RunAtLogin(bool enable, const char* options) noexcept
{
    using namespace mirelunde;
    bool fits = true;
    if (enable) {
        char entry[kEntrySize] = {};
        std::strcpy(entry, kEntryStart);
        const size_t room = sizeof entry - sizeof kEntryStart;
        // An entry cut short would start the launcher with options nobody gave: it is not written at all.
        if (options != nullptr && std::strlen(options) > room)
            fits = false;
        else if (options != nullptr)
            std::strcat(entry, options);
        if (fits) WriteRegString(HKEY_CURRENT_USER, names::kRunKey, names::kRunEntry, entry);
    } else {
        DeleteRunValue(HKEY_CURRENT_USER, names::kRunEntry);
    }
    DeleteRunValue(HKEY_CURRENT_USER, names::kLegacyRunEntry);

    HKEY machine = nullptr;
    LONG status = RegOpenKeyA(HKEY_LOCAL_MACHINE, names::kRunKey, &machine);
    if (status == ERROR_SUCCESS) {
        RegDeleteValueA(machine, names::kLegacyRunEntry);
        status = RegCloseKey(machine);
    }
    return fits ? status : ERROR_INSUFFICIENT_BUFFER;
}
