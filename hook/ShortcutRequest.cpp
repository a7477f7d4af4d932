// The commands of the user's shortcuts, carried out as the command menu carries them out.
#include "hook/ShortcutRequest.h"

#include "actions/Hug.h"
#include "actions/Maximize.h"
#include "actions/WindowSearch.h"
#include "actions/WindowTable.h"
#include "menu/CommandMenu.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "settings/ShortcutKeys.h"

namespace mirelunde {

namespace {

// What shading would take: visible, captioned, not minimized, not a tool window.
BOOL CALLBACK ShadeIfShadeable(HWND window, LPARAM) noexcept
{
    try {
        const LONG style = GetWindowLongA(window, GWL_STYLE);
        const LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
        if ((style & WS_VISIBLE) && (style & WS_CAPTION) == WS_CAPTION && !(style & WS_MINIMIZE) &&
            !(exStyle & WS_EX_TOOLWINDOW) && !windowTable.IsShaded(window))
            windowTable.ToggleShade(window);
    } catch (...) {
    }
    return TRUE;
}

void HugTarget(HWND target, ShortcutCommand command)
{
    switch (command) {
    case ShortcutCommand::HugTop: HugWindow(target, HugDirection::Top); return;
    case ShortcutCommand::HugRight: HugWindow(target, HugDirection::Right); return;
    case ShortcutCommand::HugLeft: HugWindow(target, HugDirection::Left); return;
    case ShortcutCommand::HugBottom: HugWindow(target, HugDirection::Bottom); return;
    case ShortcutCommand::HugTopLeft: HugWindow(target, HugDirection::TopLeft); return;
    case ShortcutCommand::HugTopRight: HugWindow(target, HugDirection::TopRight); return;
    case ShortcutCommand::HugBottomLeft: HugWindow(target, HugDirection::BottomLeft); return;
    case ShortcutCommand::HugBottomRight: HugWindow(target, HugDirection::BottomRight); return;
    default: return;
    }
}

}  // namespace

void RunShortcutRequest(HWND window, LPARAM command)
{
    if (command < 0 || static_cast<size_t>(command) >= kShortcutCount) return;
    // "Keyboard shortcuts" off turns these off as well as the keypad's.
    if (!SettingOn(names::kEnableKeyboard, true)) return;
    const auto which = static_cast<ShortcutCommand>(command);
    if (which == ShortcutCommand::ShadeAll) {
        EnumThreadWindows(GetCurrentThreadId(), ShadeIfShadeable, 0);
        return;
    }
    if (which == ShortcutCommand::UnshadeAll) {
        windowTable.UnshadeThreadWindows();
        return;
    }
    // The window the command menu would be opened for: around the focus when it is in this window.
    const HWND focus = GetFocus();
    const HWND start = focus != nullptr && (focus == window || IsDescendantOf(focus, window)) ? focus : window;
    const HWND frame = FindSystemMenuWindow(start);
    const HWND target = frame != nullptr ? frame : FindTopLevelAncestor(start);
    switch (which) {
    case ShortcutCommand::CommandMenu: ShowCommandMenu(target); return;
    case ShortcutCommand::ShadeWindow: windowTable.ToggleShade(target); return;
    case ShortcutCommand::SinkWindow: windowTable.RaiseOrSink(target, nullptr); return;
    case ShortcutCommand::OnTopAlways: windowTable.AlwaysOnTop(target, true); return;
    case ShortcutCommand::OnTopWhenShaded: windowTable.OnTopWhenShaded(target, true); return;
    case ShortcutCommand::StretchVertically: MaximizeVariant(target, Stretch::Vertically); return;
    case ShortcutCommand::StretchHorizontally: MaximizeVariant(target, Stretch::Horizontally); return;
    case ShortcutCommand::StretchBoth: MaximizeVariant(target, Stretch::Both); return;
    case ShortcutCommand::Unmaximize: MaximizeVariant(target, Stretch::Undo); return;
    default: HugTarget(target, which); return;
    }
}

}  // namespace mirelunde
