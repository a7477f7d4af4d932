// The hook's own per-process state: the middle-button timers and the System Menu attempt.
#pragma once

#include <windows.h>

namespace mirelunde {

inline constexpr UINT_PTR kMiddleTimerId = 170770;
inline constexpr UINT_PTR kQuietTimerId = 180770;

struct GestureState {
    UINT_PTR middleTimer = 0;  // what SetTimer returned; 0 while not running
    UINT_PTR quietTimer = 0;   // the quiet period after a middle double-click
    bool middleReleased = false;
    bool systemMenuItemDone = false;
};

extern GestureState gestureState;

}  // namespace mirelunde
