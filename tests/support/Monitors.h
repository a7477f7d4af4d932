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

// Where the per-monitor rows of a table put a window of the given size: inside the work area of
// each monitor, and across the border of the first two, once with the larger share on each; with the
// work area an action on the window is to use.
struct Placement {
    std::string label;
    RECT start;
    RECT work;
};
std::vector<Placement> Placements(LONG width, LONG height);

}  // namespace testing_support
