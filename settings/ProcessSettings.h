// The per-process settings: filled when the library arrives in a process, used by every part of it.
#pragma once

#include <windows.h>

#include "settings/SharedValue.h"

#include <optional>
#include <string>

namespace mirelunde {

struct ProcessSettings {
    std::string exePath;  // UTF-8, as every text of the library
    // Read again as new hooks arrive while other threads pass messages down the chain.
    SharedValue<HHOOK> callWndProcHook = nullptr;
    SharedValue<HHOOK> getMessageHook = nullptr;
    // Read at their first use (ShadedHeight, CornerSize); 0 until then.
    SharedValue<int> shadedHeight = 0;  // outer height of a shaded window
    SharedValue<int> cornerSize = 0;    // side of the caption corner square that gestures leave alone
    DWORD debugLevel = 0;
    bool detachBox = false;  // a box as the library leaves the process was asked for as it arrived
    // The menu's commands change these two on one thread while the hooks read them on others.
    SharedValue<bool> twoButtonMouse = false;
    SharedValue<bool> addToSystemMenu = true;
    // Cleared as the process starts, or by the menu when the user has the library leave it alone;
    // the hooks then only pass messages on.
    SharedValue<bool> hooksActive = true;
    // The launcher's own process, which the library arrived in by its loading: its hooks pass
    // messages on for good. Decided as the library arrives, from the launcher's marker.
    bool launcherProcess = false;
    // The user had the library leave this program alone: new hooks leave it alone as well.
    SharedValue<bool> leftAlone = false;
    // Set as a thread puts its windows back at the launcher's stop. The library stays mapped (Wine
    // never unloads it, Windows only lazily), and DllMain does not run again when the next
    // launcher's hooks reach it: their first message has it read its settings again instead.
    SharedValue<bool> arrivalDue = false;
    // The get-message hook of the launcher that stopped: the next launcher's is another.
    SharedValue<HHOOK> stoppedHook = nullptr;
    // The program is on the list of programs kept on top: each of its windows is made topmost as it is
    // first shown. Set as the process starts, and by the menu's row for the list.
    SharedValue<bool> keepOnTop = false;
    // The launcher's request, as it stops, that each thread put its windows back; registered when the
    // first registered message arrives, so a process is spared the call as it starts.
    SharedValue<UINT> restoreMessage = 0;
    std::optional<std::string> modulesKeyPath;  // the process's trace key while the debug level is nonzero
};

extern ProcessSettings processSettings;

// Whether a launcher has published hooks other than those of the launcher that stopped.
bool NewHooksPublished();

// Fills the settings from the registry as the library arrives in a process, and starts its trace
// key when the debug level is nonzero.
void ReadProcessSettings();
// Reads again what new hooks may find changed since the library arrived: the hook handles, the lists
// of programs, the mouse and System Menu settings and the sole-process filter. The executable's path,
// the debug level and the trace key stay as they were.
void ReadProcessSettingsAgain();
// The caption metrics, read when first asked for: most processes never shade a window or meet a
// caption gesture, and are spared the calls as they start.
int ShadedHeight();
int CornerSize();
// Deletes the process's trace key, if it keeps one.
void EndProcessTrace();

}  // namespace mirelunde
