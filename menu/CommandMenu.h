// The window command menu.
#pragma once

#include <windows.h>

namespace mirelunde {

// Shows the command menu for a window and carries out the chosen command.
void ShowCommandMenu(HWND window);

}  // namespace mirelunde
