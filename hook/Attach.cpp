// Attach and detach: the settings read as the library arrives in a process, and everything put back
// as it leaves.
#include "hook/Attach.h"

#include "actions/Maximize.h"
#include "actions/WindowTable.h"
#include "hook/PassingOn.h"
#include "settings/ProcessSettings.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "settings/Text.h"

#include <cstdio>

namespace mirelunde {

namespace {
constexpr size_t kTextSize = 1024;
}

void AttachProcess()
{
    StartPassingOn();
    ReadProcessSettings();
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

    // Asked for as the process started, and not switched off since: a process that started without
    // it reads nothing more as it leaves.
    if (processSettings.detachBox && SettingOn(names::kDebugProcessDetach, false)) {
        char text[kTextSize];
        std::snprintf(text, sizeof text, names::kProcessDetachFormat, processSettings.exePath.c_str());
        MessageBoxText(nullptr, text, names::kCaption, MB_OK);
    }

    if (processSettings.debugLevel != 0) EndProcessTrace();
    processSettings.exePath.clear();
    EndPassingOn();
}

}  // namespace mirelunde
