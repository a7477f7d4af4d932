// Where a window is on the desktop: the work area of the monitor that holds it, and the height of
// its caption bar and frame at the window's own DPI, in the window's own coordinates.
#pragma once

#include <windows.h>

namespace mirelunde {

// The work area of the monitor with the largest share of the window (the nearest monitor when it
// lies on none), in the caller's screen coordinates: a monitor left of or above the primary has
// negative ones.
RECT WorkAreaOf(HWND window);
// The outer height of the window rolled up to its caption bar: the caption and the dialog frame
// at the window's DPI where the platform knows it, otherwise as read when the library arrived.
int ShadedHeightOf(HWND window);

// While it lives, the calling thread reads and sets rectangles in the window's own coordinates:
// a thread's DPI awareness need not be its window's (a program may make a per-monitor aware window
// on a thread that is not, or the reverse), and the system scales what the thread reads and sets
// by the difference. Changes nothing where the system has no DPI awareness per thread.
class WindowCoordinates {
public:
    explicit WindowCoordinates(HWND window);
    ~WindowCoordinates();
    WindowCoordinates(const WindowCoordinates&) = delete;
    WindowCoordinates& operator=(const WindowCoordinates&) = delete;

private:
    DPI_AWARENESS_CONTEXT previous_ = nullptr;
};

}  // namespace mirelunde
