// The window command menu.
#pragma once

#include <windows.h>

namespace mirelunde {

// Shows the command menu for a window and carries out the chosen command; false when another
// command menu of the process was open, so none was shown.
bool ShowCommandMenu(HWND window);

}  // namespace mirelunde
