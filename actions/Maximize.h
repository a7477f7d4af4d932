// Stretching a window over the work area in one or both directions, and undoing it.
#pragma once

#include "menu/CommandId.h"

#include <windows.h>

namespace mirelunde {

// One of the commands MaximizeVertically, MaximizeHorizontally, MaximizeBoth, Unmaximize.
void MaximizeVariant(HWND window, CommandId variant);

}  // namespace mirelunde
