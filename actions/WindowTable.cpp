// Shading and unshading, and putting every window back when the library leaves the process.
#include "actions/WindowTable.h"

#include "actions/WindowSearch.h"
#include "hook/Handles.h"
#include "hook/ProcessSettings.h"
#include "hook/Registry.h"

#include <cstdio>

namespace mirelunde {

WindowTable windowTable;

namespace {

constexpr DWORD kBoxLevel = 4;
constexpr DWORD kShadedStyleMask = ~static_cast<DWORD>(WS_THICKFRAME | WS_MAXIMIZEBOX);
constexpr UINT kResizeFlags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING |
                              SWP_DEFERERASE | SWP_ASYNCWINDOWPOS;

constexpr char kShadingCaption[] = "Mirelunde - shading";
constexpr char kUnshadingCaption[] = "Mirelunde - unshading";
constexpr char kShadingFormat[] = "Stored height: %d\n\niShadedHeight: %d";
constexpr char kUnshadingFormat[] = "Stored height: %d\niShadedHeight: %d";
constexpr char kLastAction[] = "LastAction";
constexpr char kStyleTrace[] = "si.dwStyle";
constexpr char kExStyleTrace[] = "si.dwExStyle";

void DebugBox(HWND window, const char* caption, const char* format, int storedHeight)
{
    if (processSettings.debugLevel < kBoxLevel) return;
    char text[128];
    std::snprintf(text, sizeof text, format, storedHeight, processSettings.shadedHeight);
    MessageBoxA(window, text, caption, MB_OK);
}

bool ResizeHeight(HWND window, const RECT& rect, int height)
{
    return SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, height, kResizeFlags) != FALSE;
}

}  // namespace

bool IsTopmost(HWND window)
{
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

bool IsOwnWindow(HWND window)
{
    return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

// Never activates, and for another thread's window only asks: at detach the loader lock is held,
// and a thread that is made to activate a window may need that lock to do it.
bool SetTopmost(HWND window, bool on)
{
    LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    exStyle = on ? (exStyle | WS_EX_TOPMOST) : (exStyle & ~WS_EX_TOPMOST);
    SetWindowLongA(window, GWL_EXSTYLE, exStyle);
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (IsOwnWindow(window) ? 0 : SWP_ASYNCWINDOWPOS);
    return SetWindowPos(window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, flags) != FALSE;
}

namespace {

ShadeRecord FreshRecord(HWND window)
{
    ShadeRecord record;
    RECT rect{};
    if (GetWindowRect(window, &rect)) record.storedHeight = rect.bottom - rect.top;
    record.alwaysOnTop = record.wasTopmost = IsTopmost(window);
    return record;
}

}  // namespace

ShadeRecord& WindowTable::RecordFor(HWND window)
{
    ExclusiveLock lock(recordsLock_);
    auto found = records.find(window);
    if (found == records.end())
        found = records.emplace(window, FreshRecord(window)).first;
    else if (found->second.forgotten)
        found->second = FreshRecord(window);
    return found->second;  // records are never erased, so the reference outlives the lock
}

void WindowTable::Forget(HWND window)
{
    ExclusiveLock lock(recordsLock_);
    const auto found = records.find(window);
    if (found == records.end()) return;
    found->second = ShadeRecord{};
    found->second.forgotten = true;
}

bool WindowTable::IsShaded(HWND window)
{
    return RecordFor(window).shaded;
}

bool WindowTable::ToggleShadeOfFrame(HWND window)
{
    const HWND frame = shiftHeld ? FindTopLevelAncestor(window) : FindSystemMenuWindow(window);
    return frame != nullptr && ToggleShade(frame);
}

bool WindowTable::ToggleShade(HWND window)
{
    ShadeRecord& record = RecordFor(window);
    const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    return record.shaded ? Unshade(window, record) : Shade(window, record, style);
}

bool WindowTable::Shade(HWND window, ShadeRecord& record, DWORD style)
{
    DebugBox(window, kShadingCaption, kShadingFormat, record.storedHeight);
    record.dwStyle = style;
    record.dwExStyle = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));

    DWORD newStyle = record.dwStyle;
    if (record.dwStyle != 0) {
        record.wasMaximized = (record.dwStyle & WS_MAXIMIZE) != 0;
        if (record.wasMaximized) {
            ShowWindow(window, SW_RESTORE);
            newStyle &= ~static_cast<DWORD>(WS_MAXIMIZE);
        }
    }
    RECT rect{};
    GetWindowRect(window, &rect);
    if (record.dwStyle != 0) SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(newStyle & kShadedStyleMask));
    if (record.dwExStyle != 0)
        SetWindowLongA(window, GWL_EXSTYLE,
                       static_cast<LONG>(record.dwExStyle & ~static_cast<DWORD>(WS_EX_ACCEPTFILES)));
    if (record.onTopWhenShaded && !IsTopmost(window)) SetTopmost(window, true);

    record.shaded = true;
    record.shadedFrom = rect;
    WriteWindowString(window, kLastAction, "Shade");
    return ResizeHeight(window, rect, processSettings.shadedHeight);
}

bool WindowTable::Unshade(HWND window, ShadeRecord& record)
{
    DebugBox(window, kUnshadingCaption, kUnshadingFormat, record.storedHeight);
    WriteWindowDword(window, kStyleTrace, record.dwStyle);
    WriteWindowDword(window, kExStyleTrace, record.dwExStyle);
    if (!record.alwaysOnTop && IsTopmost(window)) SetTopmost(window, false);
    const bool own = IsOwnWindow(window);
    if (record.wasMaximized) {
        // The sizing border comes back before maximizing, so the maximized rectangle allows for it.
        if (record.dwStyle != 0)
            SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(record.dwStyle & ~static_cast<DWORD>(WS_MAXIMIZE)));
        // Another thread's window (at detach) maximizes on its own thread, which then sets WS_MAXIMIZE.
        own ? ShowWindow(window, SW_SHOWMAXIMIZED) : ShowWindowAsync(window, SW_SHOWMAXIMIZED);
    }
    if (record.dwStyle != 0 && (own || !record.wasMaximized))
        SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(record.dwStyle));
    if (record.dwExStyle != 0) SetWindowLongA(window, GWL_EXSTYLE, static_cast<LONG>(record.dwExStyle));

    RECT rect{};
    GetWindowRect(window, &rect);
    record.shaded = false;
    WriteWindowString(window, kLastAction, "Unshade");
    if (record.wasMaximized) return true;
    return ResizeHeight(window, rect, record.shadedFrom.bottom - record.shadedFrom.top);
}

void WindowTable::RestoreAll()
{
    for (auto& [window, record] : records) {
        if (record.forgotten || !IsWindow(window)) continue;
        // The record's own window: resolving a frame again could unshade nothing, or shade another.
        if (record.shaded) ToggleShade(window);
        if (IsTopmost(window) != record.wasTopmost) SetTopmost(window, record.wasTopmost);
    }
}

}  // namespace mirelunde
