// Leaving a program alone at the user's word: the list of excluded programs, the put-back in each of
// the program's threads, and the hooks left passing messages on.
#include "commands/LeaveAlone.h"

#include "actions/WindowTable.h"
#include "commands/CommandTexts.h"
#include "commands/ThreadRequest.h"
#include "settings/Language.h"
#include "settings/ProcessSettings.h"
#include "settings/ProgramLists.h"
#include "settings/SettingsNames.h"
#include "settings/Text.h"

#include <cstdio>

namespace mirelunde {

void LeaveProgramAlone(HWND owner)
{
    const bool listed = SetProgramListed(names::kExcludedPrograms, processSettings.exePath, true);
    processSettings.hooksActive = false;
    // What the launcher asks of every thread as it stops.
    AskEveryOwnThread(names::kPutWindowsBack);

    if (listed) return;
    char text[texts::kListBoxTextSize];
    std::snprintf(text, sizeof text, Text(texts::kNotListedFormat), names::kExcludedPrograms);
    MessageBoxText(BoxOwner(owner), text, names::kCaption, MB_OK);
}

}  // namespace mirelunde
