// Hugging: putting a window flush against an edge or corner of the work area of its monitor.
#pragma once

#include <windows.h>

namespace mirelunde {

// The edge or corner of the work area a window is put against.
enum class HugDirection { Top, Right, Left, Bottom, TopLeft, TopRight, BottomLeft, BottomRight };

// Hugs exactly `window` in that direction.
void HugWindow(HWND window, HugDirection direction);
// Hugs the top-level ancestor of `window`.
void HugFrame(HWND window, HugDirection direction);

}  // namespace mirelunde
