// Alt with a key of the numeric keypad.
#pragma once

#include <windows.h>

namespace mirelunde {

// Runs the shortcut for a released key, with `focus` the window the key went to.
void RunShortcut(HWND focus, WPARAM key);

}  // namespace mirelunde
