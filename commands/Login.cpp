// The login entry: whether it is there (for the command menu and the launcher), and switching it.
#include "commands/Login.h"

#include "settings/Handles.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "settings/Text.h"

#include <cstring>

// The first byte of whichever image this code is linked into: the library, or the launcher.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace mirelunde {

namespace {

constexpr char kLauncherName[] = "mirelunde";
constexpr char kLauncherFile[] = "mirelunde.exe";
constexpr char kArchitectureFolder[] = "\\x86\\";
// Set by the system in every 32-bit process on 64-bit Windows.
constexpr char kWow64Variable[] = "PROCESSOR_ARCHITEW6432";

// Deleting a value that is not there is not an error, so the outcome is not looked at.
void DeleteRunValue(HKEY root, const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyA(root, names::kRunKey, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

bool OnSixtyFourBitWindows()
{
#ifdef _WIN64
    return true;
#else
    return GetEnvironmentVariableA(kWow64Variable, nullptr, 0) != 0;
#endif
}

// Opened rather than asked for its attributes: the library imports CreateFileW already.
bool FileExists(const char* path)
{
    const Handle file(CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    return static_cast<bool>(file);
}

// Where the file name in `path` starts: after the last backslash or slash.
size_t NameStart(const char* path, size_t length)
{
    size_t start = 0;
    for (size_t at = 0; at < length; ++at)
        if (path[at] == '\\' || path[at] == '/') start = at + 1;
    return start;
}

// The program an entry starts is its quoted path, or its first word when it has no quotes (as the
// bare file name was written before); the entry is ours when that file's name starts with the
// launcher's name.
bool StartsTheLauncher(const char* entry)
{
    const char* program = entry;
    char end = ' ';
    if (*program == '"') {
        ++program;
        end = '"';
    }
    size_t length = 0;
    while (program[length] != '\0' && program[length] != end) ++length;
    const size_t name = NameStart(program, length);
    return length - name >= sizeof kLauncherName - 1 &&
           _strnicmp(program + name, kLauncherName, sizeof kLauncherName - 1) == 0;
}

// `"<launcher path>" <options>` into `entry`; ERROR_SUCCESS, or why it does not fit.
LONG BuildEntry(const char* options, char (&entry)[kLoginEntryBytes])
{
    constexpr DWORD kModuleSize = kLauncherPathSize / 3;
    wchar_t wideModule[kModuleSize];
    const DWORD length = GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), wideModule, kModuleSize);
    const std::string module = length == 0 || length >= kModuleSize ? "" : Utf8(std::wstring_view(wideModule, length));
    char launcher[kLauncherPathSize];
    if (module.empty() || module.size() >= kLauncherPathSize || !LoginLauncherFor(module.c_str(), launcher))
        return ERROR_FILENAME_EXCED_RANGE;
    const size_t optionsLength = options == nullptr ? 0 : std::strlen(options);
    // An entry cut short would start the launcher with options nobody gave: it is not written at all.
    if (Utf16Length(launcher) + 2 + (optionsLength == 0 ? 0 : 1 + Utf16Length(options)) >= kLoginEntrySize)
        return ERROR_INSUFFICIENT_BUFFER;
    std::strcpy(entry, "\"");
    std::strcat(entry, launcher);
    std::strcat(entry, "\"");
    if (optionsLength != 0) {
        std::strcat(entry, " ");
        std::strcat(entry, options);
    }
    return ERROR_SUCCESS;
}

}  // namespace

bool IsRunAtLogin()
{
    char entry[kLoginEntryBytes];
    if (!ReadRegString(HKEY_CURRENT_USER, names::kRunKey, names::kRunEntry, entry, kLoginEntryBytes) ||
        Utf16Length(entry) + 1 >= kLoginEntrySize - 1)
        return false;
    return StartsTheLauncher(entry);
}

bool LoginLauncherFor(const char* modulePath, char (&launcher)[kLauncherPathSize])
{
    const size_t length = std::strlen(modulePath);
    const size_t folder = NameStart(modulePath, length);
    if (folder + sizeof kLauncherFile > sizeof launcher) return false;
    std::memcpy(launcher, modulePath, folder);
    constexpr size_t kArchitectureLength = sizeof kArchitectureFolder - 1;
    if (OnSixtyFourBitWindows() && folder >= kArchitectureLength &&
        _strnicmp(launcher + folder - kArchitectureLength, kArchitectureFolder, kArchitectureLength) == 0) {
        std::strcpy(launcher + folder - kArchitectureLength + 1, kLauncherFile);
        if (FileExists(launcher)) return true;
        std::memcpy(launcher, modulePath, folder);
    }
    std::strcpy(launcher + folder, kLauncherFile);
    return true;
}

LONG SwitchLoginEntry(bool enable, const char* options)
{
    LONG notWritten = ERROR_SUCCESS;
    if (enable) {
        char entry[kLoginEntryBytes];
        notWritten = BuildEntry(options, entry);
        if (notWritten == ERROR_SUCCESS) WriteRegString(HKEY_CURRENT_USER, names::kRunKey, names::kRunEntry, entry);
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
    return notWritten != ERROR_SUCCESS ? notWritten : status;
}

}  // namespace mirelunde
