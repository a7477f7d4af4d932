// Hugging: the command's edges go onto the edges of the work area of the window's monitor, moving
// the window or, with stretchy hugging (inverted by Ctrl), stretching just those edges. Nothing is
// clamped.
#include "actions/Hug.h"

#include "actions/Screen.h"
#include "actions/WindowSearch.h"
#include "actions/WindowTable.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"

namespace mirelunde {

namespace {

enum class Edge { None, Top, Right, Left, Bottom };

struct HugEdges {
    Edge first;
    Edge second;
};

HugEdges EdgesOf(HugDirection direction)
{
    switch (direction) {
    case HugDirection::Top: return {Edge::Top, Edge::None};
    case HugDirection::Right: return {Edge::Right, Edge::None};
    case HugDirection::Left: return {Edge::Left, Edge::None};
    case HugDirection::Bottom: return {Edge::Bottom, Edge::None};
    case HugDirection::TopLeft: return {Edge::Top, Edge::Left};
    case HugDirection::TopRight: return {Edge::Top, Edge::Right};
    case HugDirection::BottomLeft: return {Edge::Bottom, Edge::Left};
    case HugDirection::BottomRight: return {Edge::Bottom, Edge::Right};
    }
    return {Edge::None, Edge::None};
}

Edge Opposite(Edge edge)
{
    switch (edge) {
    case Edge::Top: return Edge::Bottom;
    case Edge::Bottom: return Edge::Top;
    case Edge::Left: return Edge::Right;
    case Edge::Right: return Edge::Left;
    default: return Edge::None;
    }
}

LONG& Side(RECT& rect, Edge edge)
{
    switch (edge) {
    case Edge::Top: return rect.top;
    case Edge::Bottom: return rect.bottom;
    case Edge::Left: return rect.left;
    default: return rect.right;
    }
}

bool Flush(RECT rect, RECT work, Edge edge)
{
    return edge == Edge::None || Side(rect, edge) == Side(work, edge);
}

void PutOnto(RECT& rect, RECT work, Edge edge, bool stretch)
{
    LONG& side = Side(rect, edge);
    if (!stretch) Side(rect, Opposite(edge)) += Side(work, edge) - side;
    side = Side(work, edge);
}

void Hug(HWND window, HugDirection direction, bool controlHeld)
{
    if (GetWindowLongA(window, GWL_STYLE) & WS_MAXIMIZE) return;
    const WindowCoordinates coordinates(window);
    const RECT work = WorkAreaOf(window);
    RECT rect{};
    GetWindowRect(window, &rect);
    const HugEdges edges = EdgesOf(direction);
    if (edges.first == Edge::None) return;
    if (Flush(rect, work, edges.first) && Flush(rect, work, edges.second)) return;  // not even raised

    const bool stretch = SettingOn(names::kHugStretch, false) != controlHeld;
    PutOnto(rect, work, edges.first, stretch);
    if (!Flush(rect, work, edges.second)) PutOnto(rect, work, edges.second, stretch);
    // No insert-after window: the window comes to the top without being activated.
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

}  // namespace

void HugWindow(HWND window, HugDirection direction)
{
    Hug(window, direction, StillHeld(windowTable.controlHeld, VK_CONTROL));
}

void HugFrame(HWND window, HugDirection direction, bool controlHeld)
{
    Hug(FindTopLevelAncestor(window), direction, controlHeld);
}

}  // namespace mirelunde
