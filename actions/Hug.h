// Hugging: putting a window flush against an edge or corner of the work area of its monitor.
#pragma once

#include <windows.h>

namespace mirelunde {

// The edge or corner of the work area a window is put against.
enum class HugDirection { Top, Right, Left, Bottom, TopLeft, TopRight, BottomLeft, BottomRight };

// Hugs exactly `window` in that direction; Ctrl held now inverts "Hug Stretch".
void HugWindow(HWND window, HugDirection direction);
// Hugs the top-level ancestor of `window`; `controlHeld` (Ctrl as it was when the shortcut's key
// went down) inverts "Hug Stretch".
void HugFrame(HWND window, HugDirection direction, bool controlHeld);

}  // namespace mirelunde
