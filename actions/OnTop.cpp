// Depth and on-top: raising or sinking a window, its two topmost choices, and the windows of a program
// kept on top.
#include "actions/WindowSearch.h"
#include "actions/WindowTable.h"

#include <vector>

namespace mirelunde {

namespace {

bool IsProgramWindow(HWND window)
{
    const auto style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    return (style & (WS_CHILD | WS_CAPTION)) == WS_CAPTION && GetWindow(window, GW_OWNER) == nullptr &&
           (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) == 0;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) noexcept
{
    try {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool WindowTable::OnTopWhenShaded(HWND window, bool toggle)
{
    const auto record = RecordFor(window);
    if (toggle) {
        record->onTopWhenShaded = !record->onTopWhenShaded;
        // Clearing it leaves a shaded window topmost until it is unshaded.
        if (record->shaded && record->onTopWhenShaded && !IsTopmost(window)) ChangeTopmost(window, *record, true);
    }
    return record->onTopWhenShaded;
}

bool WindowTable::AlwaysOnTop(HWND window, bool toggle)
{
    const auto record = RecordFor(window);
    if (toggle) {
        record->alwaysOnTop = !record->alwaysOnTop;
        if (record->shaded && record->onTopWhenShaded && !record->alwaysOnTop) return false;
        ChangeTopmost(window, *record, record->alwaysOnTop);
    }
    return record->alwaysOnTop;
}

void WindowTable::KeepOnTop(HWND window, ShadeRecord& record)
{
    record.seenShown = true;
    if (record.alwaysOnTop) return;  // on top already, by the user's choice or its program's
    record.keptOnTop = true;
    AlwaysOnTop(window, true);
}

void WindowTable::KeepOnTopAsShown(HWND window)
{
    if (!IsProgramWindow(window)) return;
    const auto record = RecordFor(window);
    if (!record->seenShown) KeepOnTop(window, *record);
}

void WindowTable::KeepThreadWindowsOnTop(bool on)
{
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (const HWND window : windows) {
        if (!IsProgramWindow(window)) continue;
        const auto record = RecordFor(window);
        if (on) {
            // A hidden window is kept on top as it is first shown.
            if (IsWindowVisible(window)) KeepOnTop(window, *record);
        } else if (record->keptOnTop) {
            record->keptOnTop = false;
            if (record->alwaysOnTop) AlwaysOnTop(window, true);
        }
    }
}

void WindowTable::RaiseOrSink(HWND window, HWND activateAfterSink)
{
    const HWND frame = FindSystemMenuWindow(window);
    if (frame == nullptr) return;
    const HWND top = FindTopNormalWindow(nullptr);
    const bool onTop = top == nullptr || top == frame || IsDescendantOf(frame, top);
    // A topmost window sent to the bottom stops being topmost: its record notes the change, for the
    // put-back, and its "Always" choice follows what happened.
    const auto record = RecordFor(frame);
    const bool wasTopmost = IsTopmost(frame);
    // A sink must not activate: activation would lift the window straight back to the top.
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | (onTop ? SWP_NOACTIVATE : 0);
    SetWindowPos(frame, onTop ? HWND_BOTTOM : HWND_TOP, 0, 0, 0, 0, flags);
    if (wasTopmost && !IsTopmost(frame)) {
        record->alwaysOnTop = false;
        record->NoteTopmost(true, false);
    }
    if (onTop && activateAfterSink != nullptr) SetForegroundWindow(activateAfterSink);
}

}  // namespace mirelunde
