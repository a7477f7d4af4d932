// Hugging: putting a window flush against an edge or corner of the work area.
#pragma once

#include "menu/CommandId.h"

#include <windows.h>

namespace mirelunde {

// Hugs the top-level ancestor of `window` as the hug command says.
void HugFrame(HWND window, CommandId hug);

}  // namespace mirelunde
