// Where a window is on the desktop: the work area of the monitor that holds it, and the height of
// its caption bar and frame at the window's own DPI.
#pragma once

#include <windows.h>

namespace mirelunde {

// The work area of the monitor with the largest share of the window (the nearest monitor when it
// lies on none), in screen coordinates: a monitor left of or above the primary has negative ones.
RECT WorkAreaOf(HWND window);
// The outer height of the window rolled up to its caption bar: the caption and the dialog frame
// at the window's DPI where the platform knows it, otherwise as read when the library arrived.
int ShadedHeightOf(HWND window);

}  // namespace mirelunde
