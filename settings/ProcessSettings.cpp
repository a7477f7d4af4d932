// The per-process settings, read as the library arrives in a process, and the trace key a process
// keeps while the debug level is nonzero.
#include "settings/ProcessSettings.h"

#include "settings/ProgramLists.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "settings/Text.h"

#include <cstdint>
#include <cstdio>
#include <new>

namespace mirelunde {

ProcessSettings processSettings;

namespace {

constexpr unsigned kPathSize = MAX_PATH;
constexpr unsigned kPathBytes = kPathSize * 3;  // such a path in UTF-8
constexpr size_t kTextSize = 1024;

HHOOK HookFromDword(DWORD value)
{
    return reinterpret_cast<HHOOK>(static_cast<uintptr_t>(value));
}

// "C:\dir\notepad.exe" -> "notepad"
std::string FileTitle(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.resize(dot);
    return name;
}

void StartModulesTrace()
{
    char path[kTextSize];
    const int written =
        std::snprintf(path, sizeof path, "%s\\%s\\%s (%d)", names::kSettingsKey, names::kModules,
                      FileTitle(processSettings.exePath).c_str(), static_cast<int>(GetCurrentProcessId()));
    if (written <= 0 || static_cast<size_t>(written) >= sizeof path) return;
    try {
        processSettings.modulesKeyPath.emplace(path);
    } catch (const std::bad_alloc&) {
        return;
    }
    WriteRegString(HKEY_CURRENT_USER, path, names::kPath, processSettings.exePath.c_str());
}

bool ReadFlag(const RegSnapshot& settings, const char* name, bool whenAbsent)
{
    DWORD value = 0;
    return settings.Dword(name, value) ? value != 0 : whenAbsent;
}

// Threads that ask at once both write the same values.
void ReadCaptionMetrics()
{
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    const int frame = GetSystemMetrics(SM_CYDLGFRAME);
    processSettings.cornerSize = caption + frame;
    processSettings.shadedHeight = caption + 2 * frame;
}

void ReadSettings(bool again)
{
    // Every process on the desktop pays for this: the values are taken in one pass over their key.
    const RegSnapshot settings(
        HKEY_CURRENT_USER, names::kSettingsKey,
        {names::kHWndHook, names::kHHook, names::kDebugLevel, names::kTwoButtonMouse, names::kAddToSystemMenu,
         names::kSoleProcess, names::kDebugProcessDetach, names::kExcludedPrograms, names::kProgramsKeptOnTop});
    if (!again) processSettings.detachBox = ReadFlag(settings, names::kDebugProcessDetach, false);
    // Decided before anything else, with or without the launcher's handles: a program the user
    // excluded is left alone, even when it is on the list of programs kept on top as well. The system
    // may call the hooks in the launcher's own thread for programs of the other architecture: there
    // they are not this process's windows, so the hooks only pass messages on.
    const bool excluded = IsListedProgram(settings, names::kExcludedPrograms, processSettings.exePath);
    processSettings.keepOnTop =
        !excluded && IsListedProgram(settings, names::kProgramsKeptOnTop, processSettings.exePath);
    bool active = !excluded && !processSettings.launcherProcess && !processSettings.leftAlone;
    DWORD hook = 0;
    bool handlesRead = false;  // without them, the settings below keep their initial values
    if (settings.Dword(names::kHWndHook, hook)) {
        processSettings.callWndProcHook = HookFromDword(hook);
        handlesRead = settings.Dword(names::kHHook, hook);
        processSettings.getMessageHook = handlesRead ? HookFromDword(hook) : nullptr;
    }
    if (handlesRead) {
        if (!again) {
            DWORD level = 0;
            settings.Dword(names::kDebugLevel, level);
            processSettings.debugLevel = level;
        }
        processSettings.twoButtonMouse = ReadFlag(settings, names::kTwoButtonMouse, true);
        processSettings.addToSystemMenu = ReadFlag(settings, names::kAddToSystemMenu, true);

        char sole[kPathBytes];
        // A path counts as the registry holds it: fewer than kPathSize UTF-16 units, terminator included.
        if (settings.String(names::kSoleProcess, sole, kPathBytes) && sole[0] != '\0' &&
            Utf16Length(sole) + 1 < kPathSize && !SameIgnoringCase(sole, processSettings.exePath))
            active = false;
        if (!again && processSettings.debugLevel != 0) StartModulesTrace();
        // "HHook" 0: the last launcher has stopped, and the hook that brought the library is one it
        // left in the chain (Wine 8 keeps them). It waits for the next launcher's, as after a stop.
        if (!again && processSettings.getMessageHook == nullptr) processSettings.arrivalDue = true;
    }
    processSettings.hooksActive = active;
}

}  // namespace

void ReadProcessSettings()
{
    wchar_t exe[kPathSize] = {};
    GetModuleFileNameW(nullptr, exe, kPathSize);
    exe[kPathSize - 1] = L'\0';
    processSettings.exePath = Utf8(exe);
    processSettings.launcherProcess = GetEnvironmentVariableA(names::kLauncherMarker, nullptr, 0) != 0;
    ReadSettings(false);
}

bool NewHooksPublished()
{
    DWORD hook = 0;
    return ReadRegDword(HKEY_CURRENT_USER, names::kSettingsKey, names::kHHook, hook) && hook != 0 &&
           HookFromDword(hook) != processSettings.stoppedHook;
}

void ReadProcessSettingsAgain()
{
    ReadSettings(true);
}

int ShadedHeight()
{
    if (processSettings.shadedHeight == 0) ReadCaptionMetrics();
    return processSettings.shadedHeight;
}

int CornerSize()
{
    if (processSettings.cornerSize == 0) ReadCaptionMetrics();
    return processSettings.cornerSize;
}

void EndProcessTrace()
{
    if (!processSettings.modulesKeyPath) return;
    const std::string& path = *processSettings.modulesKeyPath;
    const size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos) {
        const std::string parent = path.substr(0, slash);
        DeleteRegTree(HKEY_CURRENT_USER, parent.c_str(), path.c_str() + slash + 1);
    }
    processSettings.modulesKeyPath.reset();
}

}  // namespace mirelunde
