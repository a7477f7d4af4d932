// The desktop's monitors as the tests see them, and the layout the test environment says it set up
// (scripts/wine-env.sh writes it to MIRELUNDE_MONITORS).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

struct Monitor {
    RECT area;
    RECT work;
    HMONITOR handle;
};

// The primary first, then the others from left to right.
std::vector<Monitor> Monitors();
// "left,top,right,bottom/left,top,right,bottom" of each monitor and its work area, separated by
// spaces, in the order above: the form of MIRELUNDE_MONITORS.
std::string Describe(const std::vector<Monitor>& monitors);
// MIRELUNDE_MONITORS, empty when the environment says nothing.
std::string PromisedLayout();
// The first monitor other than the primary, when there is one. Where the environment promised
// several monitors and there is only one, a failure is added as well.
bool FindSecondMonitor(Monitor& second);

// A rectangle of the given size at (dx, dy) from the top left of the work area.
RECT InWork(const Monitor& monitor, LONG dx, LONG dy, LONG width, LONG height);
// A rectangle that lies on both monitors, its larger share on `most`, which borders `other` on the
// left or the right.
RECT Spanning(const Monitor& most, const Monitor& other, LONG width, LONG height);

// The calling thread per-monitor aware (version 2) while it lives, where the system has that;
// otherwise it changes nothing and is false.
class PerMonitorAware {
public:
    explicit PerMonitorAware(bool wanted = true);
    ~PerMonitorAware();
    PerMonitorAware(const PerMonitorAware&) = delete;
    PerMonitorAware& operator=(const PerMonitorAware&) = delete;
    explicit operator bool() const { return previous_ != nullptr; }

private:
    DPI_AWARENESS_CONTEXT previous_ = nullptr;
};
// Whether windows can be made per-monitor aware here. Where the environment promised a DPI of
// its own to each monitor (MIRELUNDE_DPI), a failure is added when they cannot.
bool PerMonitorAwareWindows();
// The DPI of the monitor, as a per-monitor aware thread reads it, or the screen's where there is
// no such thread.
UINT DpiOf(const Monitor& monitor);
// The DPI the environment promised for the monitor of that index in Monitors() (MIRELUNDE_DPI:
// one for all, or one for each monitor), 0 where it promised none.
UINT PromisedDpi(size_t index);
// The window's own DPI (GetDpiForWindow), or the screen's where the system lacks it.
UINT DpiOfWindow(HWND window);

// Where the per-monitor rows of a table put a window of the given size: inside the work area of
// each monitor, and across the border of the first two, once with the larger share on each; with the
// work area an action on the window is to use. Each row for a window of the process's DPI
// awareness, and again, where the system has it, for a per-monitor aware window; its rectangles
// are in that window's own coordinates, which a PerMonitorAware(aware) thread reads.
struct Placement {
    std::string label;
    RECT start;
    RECT work;
    bool aware = false;
};
std::vector<Placement> Placements(LONG width, LONG height);

}  // namespace testing_support
