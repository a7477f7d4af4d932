// Stretching a window over the work area in one or both directions, and undoing it.
#pragma once

#include "actions/WindowTable.h"

#include <windows.h>

#include <map>

namespace mirelunde {

struct PlacementEntry {
    RECT savedRect{};      // the rectangle before the first stretch
    RECT stretchedRect{};  // the rectangle the last stretch gave it
    bool vertical = false;
    bool horizontal = false;
};

class PlacementTable {
public:
    std::map<HWND, PlacementEntry, HandleOrder> entries;
    SRWLOCK lock = SRWLOCK_INIT;  // held around the map only, never across a window call
};

extern PlacementTable placementTable;

// The stretches, each undone by itself when given again, and the undoing of all of them.
enum class Stretch { Vertically, Horizontally, Both, Undo };

// The result of the last window call.
bool MaximizeVariant(HWND window, Stretch variant);
// Gives every stretched window the rectangle it had before its first stretch.
void RestorePlacements();
// The same for the calling thread's windows, whose entries then go.
void RestoreThreadPlacements();
// Gives the window the rectangle it had before its first stretch. One minimized or maximized since
// keeps that state and gets it as its normal rectangle, while that is still the stretched one.
void RestoreNormalPosition(HWND window, const PlacementEntry& entry);
// Called as a window is destroyed.
void ForgetPlacement(HWND window);

}  // namespace mirelunde
