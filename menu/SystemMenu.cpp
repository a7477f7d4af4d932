// The library's item in System Menus: not built yet, so there is never an item to add or remove.
#include "actions/WindowTable.h"

namespace mirelunde {

bool WindowTable::AddSystemMenuItem(HWND)
{
    return true;
}

void WindowTable::RemoveSystemMenuItem() {}

}  // namespace mirelunde
