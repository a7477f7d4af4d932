// Shading and unshading, and putting every window back when the library leaves the process.
#include "actions/WindowTable.h"

#include "actions/Screen.h"
#include "actions/WindowSearch.h"
#include "settings/Handles.h"
#include "settings/ProcessSettings.h"
#include "settings/Registry.h"
#include "settings/Text.h"

#include <cstdio>
#include <vector>

namespace mirelunde {

WindowTable windowTable;

namespace {

constexpr DWORD kBoxLevel = 4;
constexpr DWORD kShadedStyleMask = ~static_cast<DWORD>(WS_THICKFRAME | WS_MAXIMIZEBOX);  // what shading takes away
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
    std::snprintf(text, sizeof text, format, storedHeight, ShadedHeightOf(window));
    MessageBoxText(BoxOwner(window), text, caption, MB_OK);
}

bool ResizeHeight(HWND window, const RECT& rect, int height)
{
    return SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, height, kResizeFlags) != FALSE;
}

}  // namespace

bool StillHeld(std::atomic<bool>& flag, int virtualKey)
{
    if (!flag) return false;
    if (GetKeyState(virtualKey) < 0) return true;
    flag = false;
    return false;
}

void WindowTable::ReleaseModifiers()
{
    shiftHeld = controlHeld = altHeld = false;
}

bool IsTopmost(HWND window)
{
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

bool IsOwnWindow(HWND window)
{
    return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

HWND BoxOwner(HWND window)
{
    return window != nullptr && IsOwnWindow(window) ? window : nullptr;
}

namespace {

BOOL CALLBACK CollectOwnedWindow(HWND window, LPARAM param) noexcept
{
    auto& search = *reinterpret_cast<std::pair<HWND, std::vector<HWND>>*>(param);
    try {
        if (GetWindow(window, GW_OWNER) == search.first) search.second.push_back(window);
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

std::vector<HWND> OwnedWindows(HWND owner)
{
    std::pair<HWND, std::vector<HWND>> search{owner, {}};
    EnumThreadWindows(GetWindowThreadProcessId(owner, nullptr), CollectOwnedWindow, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// Runs `lower`, which takes a window off the top and its owned windows with it, and puts back on
// top those of `ownedOnTop` that were there: their program keeps them on top of its own.
template <typename Lower>
void KeepingOwnedOnTop(const std::vector<HWND>& ownedOnTop, Lower lower)
{
    std::vector<HWND> onTop;
    for (const HWND owned : ownedOnTop)
        if (IsWindow(owned) && IsTopmost(owned)) onTop.push_back(owned);
    lower();
    for (const HWND owned : onTop)
        if (!IsTopmost(owned)) SetTopmost(owned, true);
}

}  // namespace

// A window made topmost lifts its owned windows with it (on some systems those alone end up
// topmost), so they come down with it, and theirs with them.
void LowerOwnedWindows(HWND owner)
{
    for (const HWND owned : OwnedWindows(owner))
        if (IsTopmost(owned))
            SetTopmost(owned, false);
        else
            LowerOwnedWindows(owned);
}

// Never activates, and never waits on another thread: writing another thread's style waits until
// that thread has handled WM_STYLECHANGING, and at detach the loader lock is held. For such a
// window the position call, only asked for, sets or clears WS_EX_TOPMOST itself.
bool SetTopmost(HWND window, bool on)
{
    const HWND after = on ? HWND_TOPMOST : HWND_NOTOPMOST;
    constexpr UINT kFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    bool done = false;
    if (IsOwnWindow(window)) {
        LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
        exStyle = on ? (exStyle | WS_EX_TOPMOST) : (exStyle & ~WS_EX_TOPMOST);
        SetWindowLongA(window, GWL_EXSTYLE, exStyle);
        done = SetWindowPos(window, after, 0, 0, 0, 0, kFlags) != FALSE;
        const HWND owner = GetWindow(window, GW_OWNER);
        if (!on && owner != nullptr && IsTopmost(window)) {
            // Some systems keep an owned window that sits right above its owner topmost whatever
            // it is asked; without its owner for a moment, it comes down.
            SetWindowLongPtrA(window, GWLP_HWNDPARENT, 0);
            done = SetWindowPos(window, after, 0, 0, 0, 0, kFlags) != FALSE;
            SetWindowLongPtrA(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
        }
    } else {
        done = SetWindowPos(window, after, 0, 0, 0, 0, kFlags | SWP_ASYNCWINDOWPOS) != FALSE;
    }
    if (!on) LowerOwnedWindows(window);
    return done;
}

namespace {

std::shared_ptr<ShadeRecord> FreshRecord(HWND window)
{
    auto record = std::make_shared<ShadeRecord>();
    RECT rect{};
    if (GetWindowRect(window, &rect)) record->storedHeight = rect.bottom - rect.top;
    record->alwaysOnTop = record->wasTopmost = IsTopmost(window);
    return record;
}

}  // namespace

void ShadeRecord::NoteTopmost(bool before, bool after)
{
    if (!topmostChanged) wasTopmost = before;
    topmostChanged = true;
    topmostLeft = after;
}

void WindowTable::ChangeTopmost(HWND window, ShadeRecord& record, bool on)
{
    const bool before = IsTopmost(window);
    if (on && !before && !record.liftedToTop) {
        // Before the first lift, an owned window on top is there by its program's choice, unless
        // the library put it there itself.
        for (const HWND owned : OwnedWindows(window))
            if (IsTopmost(owned) && !TopmostChangedHere(owned)) record.ownedOnTop.push_back(owned);
    }
    record.liftedToTop |= on && !before;
    record.NoteTopmost(before, on);
    if (on)
        SetTopmost(window, true);
    else
        KeepingOwnedOnTop(record.ownedOnTop, [window] { SetTopmost(window, false); });
}

bool WindowTable::TopmostChangedHere(HWND window)
{
    const auto record = FindRecord(window);
    return record && (record->topmostChanged || record->liftedToTop);
}

std::shared_ptr<ShadeRecord> WindowTable::FindRecord(HWND window)
{
    if (!hadRecords_) return nullptr;
    ExclusiveLock lock(recordsLock_);
    const auto found = records.find(window);
    return found == records.end() ? nullptr : found->second;
}

std::shared_ptr<ShadeRecord> WindowTable::RecordFor(HWND window)
{
    // Made before the lock, which is held for the table alone.
    if (auto record = FindRecord(window)) return record;
    auto fresh = FreshRecord(window);
    ExclusiveLock lock(recordsLock_);
    hadRecords_ = true;
    return records.emplace(window, std::move(fresh)).first->second;  // another thread's, if it came first
}

// Runs for every destroyed window of the process: no lock until a record has been made. The record
// is released after the lock, so no destructor runs under it.
void WindowTable::Forget(HWND window)
{
    if (!hadRecords_) return;
    std::shared_ptr<ShadeRecord> dropped;
    ExclusiveLock lock(recordsLock_);
    const auto found = records.find(window);
    if (found == records.end()) return;
    dropped = std::move(found->second);
    records.erase(found);
}

bool WindowTable::IsShaded(HWND window)
{
    const auto record = FindRecord(window);
    return record && record->shaded;
}

bool WindowTable::ToggleShadeOfFrame(HWND window)
{
    const HWND frame = StillHeld(shiftHeld, VK_SHIFT) ? FindTopLevelAncestor(window) : FindSystemMenuWindow(window);
    return frame != nullptr && ToggleShade(frame);
}

bool WindowTable::ToggleShade(HWND window)
{
    const auto record = RecordFor(window);
    const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    return record->shaded ? Unshade(window, *record) : Shade(window, *record, style);
}

bool WindowTable::Shade(HWND window, ShadeRecord& record, DWORD style)
{
    const WindowCoordinates coordinates(window);
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
    if (record.onTopWhenShaded && !IsTopmost(window)) ChangeTopmost(window, record, true);

    record.shaded = true;
    record.shadedFrom = rect;
    WriteWindowString(window, kLastAction, "Shade");
    return ResizeHeight(window, rect, ShadedHeightOf(window));
}

bool WindowTable::Unshade(HWND window, ShadeRecord& record, bool mayWait)
{
    const WindowCoordinates coordinates(window);
    DebugBox(window, kUnshadingCaption, kUnshadingFormat, record.storedHeight);
    WriteWindowDword(window, kStyleTrace, record.dwStyle);
    WriteWindowDword(window, kExStyleTrace, record.dwExStyle);
    // Taken off the top only where the library put it there, and the program has not changed it since.
    if (!record.alwaysOnTop && record.topmostChanged && record.topmostLeft && IsTopmost(window))
        ChangeTopmost(window, record, false);
    record.shaded = false;
    WriteWindowString(window, kLastAction, "Unshade");
    const int height = record.shadedFrom.bottom - record.shadedFrom.top;
    // A window its program hid meanwhile is not shown again: it gets its height back instead.
    const bool maximizeAgain = record.wasMaximized && IsWindowVisible(window);
    RECT rect{};

    if (!mayWait) {
        // At detach, another thread's window that its own thread did not put back: its styles
        // cannot be written without waiting on that thread, so it is only asked for its size.
        if (maximizeAgain) return ShowWindowAsync(window, SW_SHOWMAXIMIZED) != FALSE;
        GetWindowRect(window, &rect);
        return ResizeHeight(window, rect, height);
    }
    // Only what shading took away comes back: what the program changed meanwhile (its window
    // disabled or hidden, bars added) stays. The sizing border comes back before maximizing, so the
    // maximized rectangle allows for it.
    if (const DWORD sizing = record.dwStyle & ~kShadedStyleMask)
        SetWindowLongA(window, GWL_STYLE, GetWindowLongA(window, GWL_STYLE) | static_cast<LONG>(sizing));
    if (const DWORD dropTarget = record.dwExStyle & WS_EX_ACCEPTFILES)
        SetWindowLongA(window, GWL_EXSTYLE, GetWindowLongA(window, GWL_EXSTYLE) | static_cast<LONG>(dropTarget));
    if (maximizeAgain) {
        ShowWindow(window, SW_SHOWMAXIMIZED);
        return true;
    }
    GetWindowRect(window, &rect);
    return ResizeHeight(window, rect, height);
}

void WindowTable::RestoreAll()
{
    Restore(false);
}

void WindowTable::RestoreThreadWindows()
{
    Restore(true);
}

void WindowTable::UnshadeThreadWindows()
{
    std::vector<HWND> windows;
    {
        ExclusiveLock lock(recordsLock_);
        for (const auto& [window, record] : records)
            if (record->shaded && IsOwnWindow(window)) windows.push_back(window);
    }
    // Each by its own record: resolving a frame again could shade another window.
    for (const HWND window : windows)
        if (IsWindow(window) && IsShaded(window)) ToggleShade(window);
}

void WindowTable::Restore(bool ownThreadOnly)
{
    // The handles are taken under the lock; the window calls are made without it.
    std::vector<HWND> windows;
    {
        ExclusiveLock lock(recordsLock_);
        for (const auto& [window, record] : records)
            if (!ownThreadOnly || IsOwnWindow(window)) windows.push_back(window);
    }
    std::vector<std::pair<HWND, std::vector<HWND>>> lifted;
    for (const HWND window : windows) {
        if (!IsWindow(window)) continue;
        // Looked up again: a window destroyed meanwhile has no record left to give back.
        const auto record = FindRecord(window);
        if (!record) continue;
        // A topmost state the program chose after the library's last change is the program's.
        const bool topmost = IsTopmost(window);
        const bool libraryTopmostHolds = record->topmostChanged && topmost == record->topmostLeft;
        // The record's own window: resolving a frame again could unshade nothing, or shade another.
        if (record->shaded) Unshade(window, *record, ownThreadOnly || IsOwnWindow(window));
        if (libraryTopmostHolds && record->topmostLeft != record->wasTopmost)
            ChangeTopmost(window, *record, record->wasTopmost);
        if (record->liftedToTop && !(libraryTopmostHolds ? record->wasTopmost : topmost))
            lifted.emplace_back(window, record->ownedOnTop);
        if (ownThreadOnly) Forget(window);
    }
    // Last, so an owned window first seen on top only because of its owner comes down as well.
    for (const auto& [owner, ownedOnTop] : lifted) KeepingOwnedOnTop(ownedOnTop, [owner] { LowerOwnedWindows(owner); });
}

}  // namespace mirelunde
