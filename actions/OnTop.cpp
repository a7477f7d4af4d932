// Depth and on-top: raising or sinking a window, and its two topmost choices.
#include "actions/WindowSearch.h"
#include "actions/WindowTable.h"

namespace mirelunde {

bool WindowTable::OnTopWhenShaded(HWND window, bool toggle)
{
    ShadeRecord& record = RecordFor(window);
    if (toggle) {
        record.onTopWhenShaded = !record.onTopWhenShaded;
        // Clearing it leaves a shaded window topmost until it is unshaded.
        if (record.shaded && record.onTopWhenShaded && !IsTopmost(window)) ChangeTopmost(window, record, true);
    }
    return record.onTopWhenShaded;
}

bool WindowTable::AlwaysOnTop(HWND window, bool toggle)
{
    ShadeRecord& record = RecordFor(window);
    if (toggle) {
        record.alwaysOnTop = !record.alwaysOnTop;
        if (record.shaded && OnTopWhenShaded(window, false) && !record.alwaysOnTop) return false;
        ChangeTopmost(window, record, record.alwaysOnTop);
    }
    return record.alwaysOnTop;
}

void WindowTable::RaiseOrSink(HWND window, HWND activateAfterSink)
{
    const HWND frame = FindSystemMenuWindow(window);
    if (frame == nullptr) return;
    const HWND top = FindTopNormalWindow(nullptr);
    const bool onTop = top == nullptr || top == frame || IsDescendantOf(frame, top);
    // A topmost window sent to the bottom stops being topmost: its record notes the change, for the
    // put-back, and its "Always" choice follows what happened.
    ShadeRecord& record = RecordFor(frame);
    const bool wasTopmost = IsTopmost(frame);
    // A sink must not activate: activation would lift the window straight back to the top.
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | (onTop ? SWP_NOACTIVATE : 0);
    SetWindowPos(frame, onTop ? HWND_BOTTOM : HWND_TOP, 0, 0, 0, 0, flags);
    if (wasTopmost && !IsTopmost(frame)) {
        record.alwaysOnTop = false;
        record.NoteTopmost(true, false);
    }
    if (onTop && activateAfterSink != nullptr) SetForegroundWindow(activateAfterSink);
}

}  // namespace mirelunde
