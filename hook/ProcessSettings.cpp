// Attach and detach: reading the settings into the process, and putting everything back on leaving.
#include "hook/ProcessSettings.h"

#include "actions/Maximize.h"
#include "actions/WindowTable.h"
#include "hook/Registry.h"
#include "hook/SettingsNames.h"

#include <cstdint>
#include <cstdio>
#include <new>

namespace mirelunde {

ProcessSettings processSettings;

namespace {

constexpr unsigned kPathSize = MAX_PATH;
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

void EndModulesTrace()
{
    const std::string& path = *processSettings.modulesKeyPath;
    const size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos) {
        const std::string parent = path.substr(0, slash);
        DeleteRegTree(HKEY_CURRENT_USER, parent.c_str(), path.c_str() + slash + 1);
    }
    processSettings.modulesKeyPath.reset();
}

bool ReadFlag(const RegReader& settings, const char* name, bool whenAbsent)
{
    DWORD value = 0;
    return settings.Dword(name, value) ? value != 0 : whenAbsent;
}

}  // namespace

void AttachProcess()
{
    char exe[kPathSize] = {};
    GetModuleFileNameA(nullptr, exe, kPathSize);
    exe[kPathSize - 1] = '\0';
    processSettings.exePath = exe;
    processSettings.restoreMessage = RegisterWindowMessageA(names::kRestoreMessage);
    // Before the handles: a process that arrives while the launcher is between its two hooks reads
    // neither, yet its hooks run, and a shading there needs the caption's height.
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    const int frame = GetSystemMetrics(SM_CYDLGFRAME);
    processSettings.shadedHeight = caption + 2 * frame;
    processSettings.cornerSize = caption + frame;

    // Every process on the desktop pays for this: the key is opened once for all its values.
    const RegReader settings(HKEY_CURRENT_USER, names::kSettingsKey);
    DWORD hook = 0;
    if (!settings.Dword(names::kHWndHook, hook)) return;
    processSettings.callWndProcHook = HookFromDword(hook);
    if (!settings.Dword(names::kHHook, hook)) {
        processSettings.getMessageHook = nullptr;
        return;
    }
    processSettings.getMessageHook = HookFromDword(hook);

    DWORD level = 0;
    settings.Dword(names::kDebugLevel, level);
    processSettings.debugLevel = level;

    processSettings.twoButtonMouse = ReadFlag(settings, names::kTwoButtonMouse, true);
    processSettings.addToSystemMenu = ReadFlag(settings, names::kAddToSystemMenu, true);

    char sole[kPathSize];
    if (settings.String(names::kSoleProcess, sole, kPathSize) && sole[0] != '\0' &&
        lstrcmpiA(sole, processSettings.exePath.c_str()) != 0)
        processSettings.hooksActive = false;
    // The system may call the hooks in the launcher's own thread for programs of the other
    // architecture: there they are not this process's windows, so the hooks only pass messages on.
    if (GetEnvironmentVariableA(names::kLauncherMarker, nullptr, 0) != 0) processSettings.hooksActive = false;

    if (processSettings.debugLevel != 0) StartModulesTrace();
}

void DetachProcess()
{
    // A process that never read a live hook handle leaves everything as it is.
    if (processSettings.getMessageHook != nullptr) {
        windowTable.RemoveSystemMenuItem();
        // Unshaded first: unshading a stretched window gives it the height it had when shaded,
        // which would undo the rectangle given back before it.
        windowTable.RestoreAll();
        RestorePlacements();
    }

    DWORD showBox = 0;
    ReadRegDword(HKEY_CURRENT_USER, names::kSettingsKey, names::kDebugProcessDetach, showBox);
    if (showBox != 0) {
        char text[kTextSize];
        std::snprintf(text, sizeof text, names::kProcessDetachFormat, processSettings.exePath.c_str());
        MessageBoxA(nullptr, text, names::kCaption, MB_OK);
    }

    if (processSettings.debugLevel != 0 && processSettings.modulesKeyPath) EndModulesTrace();
    processSettings.exePath.clear();
}

}  // namespace mirelunde
