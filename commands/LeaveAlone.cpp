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

const char* WhyNotListed(const std::string& exePath)
{
    switch (CheckProgramName(FileNameOf(exePath))) {
    case NameFault::HoldsSeparator: return Text(texts::kNameHoldsSeparator);
    case NameFault::TooLong: return Text(texts::kNameTooLong);
    case NameFault::None: break;
    }
    return Text(texts::kListCannotTakeIt);
}

void LeaveProgramAlone(HWND owner)
{
    const bool listed = SetProgramListed(names::kExcludedPrograms, processSettings.exePath, true);
    processSettings.leftAlone = true;
    processSettings.hooksActive = false;
    // What the launcher asks of every thread as it stops.
    AskEveryOwnThread(names::kPutWindowsBack);

    if (listed) return;
    char text[texts::kListBoxTextSize];
    std::snprintf(text, sizeof text, Text(texts::kNotListedFormat), names::kExcludedPrograms,
                  WhyNotListed(processSettings.exePath));
    MessageBoxText(BoxOwner(owner), text, names::kCaption, MB_OK);
}

}  // namespace mirelunde
