// Hugging: putting a window flush against an edge or corner of the work area of its monitor.
#pragma once

#include "menu/CommandId.h"

#include <windows.h>

namespace mirelunde {

// Hugs exactly `window` as the hug command says.
void HugWindow(HWND window, CommandId hug);
// Hugs the top-level ancestor of `window`.
void HugFrame(HWND window, CommandId hug);

}  // namespace mirelunde
