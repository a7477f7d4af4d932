// The hook's own per-process state: the middle-button timers and the System Menu attempt.
#pragma once

#include "settings/SharedValue.h"

#include <windows.h>

namespace mirelunde {

inline constexpr UINT_PTR kMiddleTimerId = 170770;
inline constexpr UINT_PTR kQuietTimerId = 180770;

// A window timer of the hook's own that runs on one window at a time, for the double-click time.
// It is known by its fixed identifier and the window it runs on: SetTimer promises only a nonzero
// result for a window timer, and a press on another window must not leave the first one running.
class GestureTimer {
public:
    explicit constexpr GestureTimer(UINT_PTR id) noexcept : id_(id) {}

    // Starts it on `window`, stopping it first wherever else it ran; false if it could not start.
    bool Start(HWND window);
    void Stop();
    bool Running() const { return window_ != nullptr; }
    bool RunsOn(HWND window) const { return window != nullptr && window_ == window; }
    // Whether the timer message is this timer's, firing on the window it runs on; it is then stopped.
    bool Fired(const MSG& msg);

private:
    UINT_PTR id_;
    SharedValue<HWND> window_ = nullptr;
};

struct GestureState {
    GestureTimer middleTimer{kMiddleTimerId};
    GestureTimer quietTimer{kQuietTimerId};  // the quiet period after a middle double-click
    SharedValue<bool> middleReleased = false;
    SharedValue<bool> systemMenuItemDone = false;
    SharedValue<bool> systemMenuItemBusy = false;  // one thread at a time tries to add the item
    SharedValue<bool> arrivalBusy = false;         // one thread at a time reads the settings again
};

extern GestureState gestureState;

}  // namespace mirelunde
