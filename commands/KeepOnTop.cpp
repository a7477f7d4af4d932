// Keeping a program's windows on top at the user's word: the list of programs kept on top, and every
// thread of the program asked to pin or unpin its windows.
#include "commands/KeepOnTop.h"

#include "actions/WindowTable.h"
#include "commands/CommandTexts.h"
#include "commands/LeaveAlone.h"
#include "commands/ThreadRequest.h"
#include "settings/Language.h"
#include "settings/ProcessSettings.h"
#include "settings/ProgramLists.h"
#include "settings/SettingsNames.h"
#include "settings/Text.h"

#include <cstdio>

namespace mirelunde {

bool IsProgramKeptOnTop()
{
    return IsListedProgram(names::kProgramsKeptOnTop, processSettings.exePath);
}

void KeepProgramOnTop(HWND owner, bool on)
{
    const bool listed = SetProgramListed(names::kProgramsKeptOnTop, processSettings.exePath, on);
    processSettings.keepOnTop = on;
    AskEveryOwnThread(on ? names::kKeepWindowsOnTop : names::kStopKeepingWindowsOnTop);

    if (listed) return;
    char text[texts::kListBoxTextSize];
    std::snprintf(text, sizeof text, on ? Text(texts::kNotKeptOnTopFormat) : Text(texts::kStillKeptOnTopFormat),
                  names::kProgramsKeptOnTop, WhyNotListed(processSettings.exePath));
    MessageBoxText(BoxOwner(owner), text, names::kCaption, MB_OK);
}

}  // namespace mirelunde
