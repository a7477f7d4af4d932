// The library's item in window System Menus.
#pragma once

#include <windows.h>

namespace mirelunde {

// Whether no item of `menu` itself (its submenus aside) carries `id`.
bool IsCommandIdFree(HMENU menu, UINT id);

}  // namespace mirelunde
