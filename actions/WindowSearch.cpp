// Walks of the parent and owner chain (GetParent yields the owner of an owned pop-up) and of the
// desktop's stacking order.
#include "actions/WindowSearch.h"

namespace mirelunde {

namespace {
constexpr LONG kTopmostOrToolWindow = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
}

HWND FindSystemMenuWindow(HWND window)
{
    const HWND desktop = GetDesktopWindow();
    for (HWND current = window; current != nullptr && current != desktop; current = GetParent(current))
        if (GetWindowLongA(current, GWL_STYLE) & WS_SYSMENU) return current;
    return nullptr;
}

HWND FindTopLevelAncestor(HWND window)
{
    const HWND desktop = GetDesktopWindow();
    HWND current = window;
    for (HWND next = GetParent(current); next != nullptr && next != desktop; next = GetParent(current)) current = next;
    return current;
}

// Hidden windows (every GUI thread has some, its input-method window among them) are skipped:
// they cannot be seen on top, nor activated after a sink. A window destroyed by another thread
// while the walk stands on it has no next window: the walk starts again from the top, so the end
// of the list is never taken for the end of the ordinary windows.
HWND FindTopNormalWindow(HWND leftOut)
{
    constexpr int kWalks = 8;
    for (int walk = 0; walk < kWalks; ++walk) {
        HWND current = GetTopWindow(nullptr);
        while (current != nullptr) {
            if ((GetWindowLongA(current, GWL_EXSTYLE) & kTopmostOrToolWindow) == 0 && current != leftOut &&
                IsWindowVisible(current))
                return current;
            const HWND next = GetWindow(current, GW_HWNDNEXT);
            if (next == nullptr && !IsWindow(current)) break;  // destroyed under the walk: start again
            current = next;
        }
        if (current == nullptr) return nullptr;
    }
    return nullptr;
}

bool IsDescendantOf(HWND window, HWND ancestor)
{
    const HWND desktop = GetDesktopWindow();
    for (HWND current = GetParent(window); current != nullptr && current != desktop; current = GetParent(current))
        if (current == ancestor) return true;
    return false;
}

}  // namespace mirelunde
