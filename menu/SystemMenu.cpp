// The "Mirelunde ..." item at the end of a System Menu, with the highest identifier free below the
// platform's own System Menu commands.
#include "menu/SystemMenu.h"

#include "actions/WindowTable.h"
#include "menu/MenuTexts.h"

namespace mirelunde {

namespace {
constexpr UINT kHighestItemId = 0xEFFF;  // SC_SIZE, 0xF000, and up are the platform's
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
    UINT id = kHighestItemId;
    while (id != 0 && !IsCommandIdFree(menu, id)) --id;
    if (id == 0 || !AppendMenuA(menu, MF_STRING, id, texts::kSystemMenuItem)) return false;

    HWND outermost = window;
    for (HWND parent = GetParent(window); parent != nullptr; parent = GetParent(parent)) outermost = parent;
    // The window first: a thread that sees the identifier finds the window it belongs to.
    systemMenuWindow = outermost;
    systemMenuItemId = id;
    return true;
}

void WindowTable::RemoveSystemMenuItem()
{
    // Only the thread that takes the identifier removes the item.
    const UINT id = systemMenuItemId.exchange(0);
    const HWND window = systemMenuWindow;
    if (id == 0 || window == nullptr) return;
    if (const HMENU reset = GetSystemMenu(window, TRUE)) DeleteMenu(reset, id, MF_BYCOMMAND);
}

}  // namespace mirelunde
