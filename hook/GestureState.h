// The hook's own per-process state: the middle-button timers and the System Menu attempt.
#pragma once

#include "hook/SharedValue.h"

#include <windows.h>

namespace mirelunde {

inline constexpr UINT_PTR kMiddleTimerId = 170770;
inline constexpr UINT_PTR kQuietTimerId = 180770;

struct GestureState {
    UINT_PTR middleTimer = 0;  // what SetTimer returned; 0 while not running
    UINT_PTR quietTimer = 0;   // the quiet period after a middle double-click
    bool middleReleased = false;
    SharedValue<bool> systemMenuItemDone = false;
    SharedValue<bool> systemMenuItemBusy = false;  // one thread at a time tries to add the item
};

extern GestureState gestureState;

}  // namespace mirelunde
