// The searches that decide which window a gesture, command or shortcut acts on.
#pragma once

#include <windows.h>

namespace mirelunde {

// The window itself or the nearest one up its parent and owner chain with a System Menu.
HWND FindSystemMenuWindow(HWND window);
// The last window of the parent and owner chain below the desktop; a window without parent is its own.
HWND FindTopLevelAncestor(HWND window);
// The highest visible top-level window that is neither topmost nor a tool window, other than `leftOut`.
HWND FindTopNormalWindow(HWND leftOut);
// Whether `ancestor` is met going up the parent and owner chain from `window` (itself not counted).
bool IsDescendantOf(HWND window, HWND ancestor);

}  // namespace mirelunde
