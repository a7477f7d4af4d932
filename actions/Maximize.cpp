// Stretching: each stretched window keeps its rectangle from before the first stretch, so the
// directions can be combined and undone one at a time or all at once. The work area is that of the
// window's own monitor.
#include "actions/Maximize.h"

#include "actions/Screen.h"
#include "settings/Handles.h"

#include <vector>

namespace mirelunde {

PlacementTable placementTable;

namespace {

RECT Span(LONG left, LONG top, LONG right, LONG bottom)
{
    return RECT{left, top, right, bottom};
}

// Undoes one direction: the entry keeps the other direction, or goes when none is left.
void Release(std::map<HWND, PlacementEntry, HandleOrder>::iterator entry, bool& direction, bool other)
{
    if (other)
        direction = false;
    else
        placementTable.entries.erase(entry);
}

// The rectangle the variant gives the window, updating its entry.
RECT Target(HWND window, Stretch variant, const RECT& rect, const RECT& work)
{
    auto found = placementTable.entries.find(window);
    if (found == placementTable.entries.end())
        found = placementTable.entries.emplace(window, PlacementEntry{rect}).first;
    PlacementEntry& entry = found->second;
    const RECT saved = entry.savedRect;

    switch (variant) {
    case Stretch::Vertically:
        if (entry.vertical && rect.top == work.top && rect.bottom == work.bottom) {
            Release(found, entry.vertical, entry.horizontal);
            return Span(rect.left, saved.top, rect.right, saved.bottom);
        }
        entry.vertical = true;
        return Span(rect.left, work.top, rect.right, work.bottom);
    case Stretch::Horizontally:
        if (entry.horizontal && rect.left == work.left && rect.right == work.right) {
            Release(found, entry.horizontal, entry.vertical);
            return Span(saved.left, rect.top, saved.right, rect.bottom);
        }
        entry.horizontal = true;
        return Span(work.left, rect.top, work.right, rect.bottom);
    default:
        if (entry.vertical && entry.horizontal && EqualRect(&rect, &work)) {
            placementTable.entries.erase(found);
            return saved;
        }
        entry.vertical = entry.horizontal = true;
        return work;
    }
}

// Screen coordinates throughout: a placement's normal rectangle is in workspace coordinates on
// Windows (offset by the work area of its monitor) but in screen coordinates under Wine, so the
// rectangle is set on the window once it shows its normal state, where the two cannot disagree.
bool PlaceNormally(HWND window, const RECT& rect, UINT flags)
{
    return SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                        SWP_NOZORDER | flags) != FALSE;
}

}  // namespace

bool MaximizeVariant(HWND window, Stretch variant)
{
    const WindowCoordinates coordinates(window);
    // A window the system had maximized is restored first, and stretched from its normal rectangle.
    if (GetWindowLongA(window, GWL_STYLE) & WS_MAXIMIZE) ShowWindow(window, SW_RESTORE);

    RECT target{};
    if (variant == Stretch::Undo) {
        bool stretched = false;
        {
            ExclusiveLock lock(placementTable.lock);
            const auto found = placementTable.entries.find(window);
            if (found != placementTable.entries.end()) {
                target = found->second.savedRect;
                placementTable.entries.erase(found);
                stretched = true;
            }
        }
        // Never with the lock held: a window destroyed while these calls run is forgotten under it.
        if (!stretched) return ShowWindow(window, SW_RESTORE) != FALSE;
    } else {
        RECT rect{};
        GetWindowRect(window, &rect);
        const RECT work = WorkAreaOf(window);
        ExclusiveLock lock(placementTable.lock);
        target = Target(window, variant, rect, work);
        const auto found = placementTable.entries.find(window);
        if (found != placementTable.entries.end()) found->second.stretchedRect = target;
    }
    return PlaceNormally(window, target, 0);
}

void RestoreNormalPosition(HWND window, const PlacementEntry& entry)
{
    const RECT& saved = entry.savedRect;
    const WindowCoordinates coordinates(window);
    if (!IsZoomed(window) && !IsIconic(window)) {
        // At detach the loader lock is held: another thread's window is only asked, never waited for.
        PlaceNormally(window, saved, SWP_NOACTIVATE | (IsOwnWindow(window) ? 0 : SWP_ASYNCWINDOWPOS));
        return;
    }
    // Minimized or maximized since, by the user or the program, it stays so; its normal rectangle is
    // given back while that is the stretched one. A placement may count from the work area's corner
    // rather than the screen's: the rectangle keeps that offset.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!IsOwnWindow(window) || !GetWindowPlacement(window, &placement)) return;
    RECT& normal = placement.rcNormalPosition;
    const RECT& stretched = entry.stretchedRect;
    if (normal.right - normal.left != stretched.right - stretched.left ||
        normal.bottom - normal.top != stretched.bottom - stretched.top)
        return;
    const LONG dx = normal.left - stretched.left, dy = normal.top - stretched.top;
    normal = saved;
    OffsetRect(&normal, dx, dy);
    placement.showCmd = IsWindowVisible(window) ? SW_SHOWNA : SW_HIDE;
    SetWindowPlacement(window, &placement);
}

void ForgetPlacement(HWND window)
{
    ExclusiveLock lock(placementTable.lock);
    placementTable.entries.erase(window);
}

namespace {

// Takes the entries (all, or the calling thread's, which then go) under the lock and gives each
// window its rectangle without it.
void Restore(bool ownThreadOnly)
{
    std::vector<std::pair<HWND, PlacementEntry>> saved;
    {
        ExclusiveLock lock(placementTable.lock);
        for (auto entry = placementTable.entries.begin(); entry != placementTable.entries.end();) {
            if (ownThreadOnly && !IsOwnWindow(entry->first)) {
                ++entry;
                continue;
            }
            saved.emplace_back(entry->first, entry->second);
            entry = ownThreadOnly ? placementTable.entries.erase(entry) : std::next(entry);
        }
    }
    for (const auto& [window, entry] : saved)
        if (IsWindow(window)) RestoreNormalPosition(window, entry);
}

}  // namespace

void RestorePlacements()
{
    Restore(false);
}

void RestoreThreadPlacements()
{
    Restore(true);
}

}  // namespace mirelunde
