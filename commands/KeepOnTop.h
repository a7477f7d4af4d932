// "Always for this program": the menu's way to put a program on the list of programs kept on top, or
// to take it off.
#pragma once

#include <windows.h>

namespace mirelunde {

// Whether the stored list names this program now.
bool IsProgramKeptOnTop();

// Puts this program on the list, or takes it off, and has every thread of it make its open windows
// topmost, or no longer those the list made so; windows shown later follow. `owner` owns the box that
// says so when the list could not take the change, which then holds only until the program ends.
void KeepProgramOnTop(HWND owner, bool on);

}  // namespace mirelunde
