// The "Mirelunde ..." item at the end of a System Menu, with the highest identifier free below the
// platform's own System Menu commands.
#include "menu/SystemMenu.h"

#include "actions/WindowTable.h"
#include "menu/MenuTexts.h"
#include "settings/Handles.h"
#include "settings/Language.h"
#include "settings/Text.h"

namespace mirelunde {

namespace {
constexpr UINT kHighestItemId = 0xEFFF;  // SC_SIZE, 0xF000, and up are the platform's
constexpr size_t kLongestItemText = 256;
}

bool IsCommandIdFree(HMENU menu, UINT id)
{
    for (UINT position = 0;; ++position) {
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID;
        if (!GetMenuItemInfoA(menu, position, TRUE, &item)) return true;
        if (item.wID == id) return false;
    }
}

bool WindowTable::AddSystemMenuItem(HWND window)
{
    const HMENU menu = GetSystemMenu(window, FALSE);
    if (menu == nullptr) return false;
    ExclusiveLock lock(systemMenuLock_);
    UINT id = kHighestItemId;
    while (id != 0 && !IsCommandIdFree(menu, id)) --id;
    if (id == 0 || !AppendMenuW(menu, MF_STRING, id, WideText<kLongestItemText>(Text(texts::kSystemMenuItem))))
        return false;
    systemMenuWindow = window;
    systemMenuItemId = id;
    return true;
}

void WindowTable::RemoveSystemMenuItem()
{
    RemoveSystemMenuItem(false);
}

bool WindowTable::RemoveOwnSystemMenuItem()
{
    return RemoveSystemMenuItem(true);
}

// Only the item leaves the menu it was put in: whatever the program itself added to its System
// Menus stays.
bool WindowTable::RemoveSystemMenuItem(bool ownThreadOnly)
{
    ExclusiveLock lock(systemMenuLock_);
    const UINT id = systemMenuItemId;
    const HWND window = systemMenuWindow;
    if (id == 0 || window == nullptr || (ownThreadOnly && !IsOwnWindow(window))) return false;
    systemMenuItemId = 0;
    if (const HMENU menu = GetSystemMenu(window, FALSE)) DeleteMenu(menu, id, MF_BYCOMMAND);
    return true;
}

}  // namespace mirelunde
