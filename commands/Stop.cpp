// Stopping the product: after the user confirms, the launcher is asked through "HHook" to end the hooks.
#include "actions/WindowTable.h"
#include "commands/CommandTexts.h"
#include "settings/Language.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "settings/Text.h"

namespace mirelunde {

int WindowTable::RequestStop(HWND owner, int defaultAnswer)
{
    const UINT style = defaultAnswer == IDNO ? MB_YESNO | MB_DEFBUTTON2 : MB_YESNO;
    const int answer = MessageBoxText(BoxOwner(owner), Text(texts::kStopQuestion), names::kCaption, style);
    if (answer != IDYES) return answer;
    RemoveSystemMenuItem();
    return WriteRegDword(HKEY_CURRENT_USER, names::kSettingsKey, names::kHHook, 0) ? 1 : 0;
}

}  // namespace mirelunde
