// The keypad shortcut table: the digits form the compass of the hugs around 5, which shades.
#include "hook/Shortcuts.h"

#include "actions/Hug.h"
#include "actions/WindowSearch.h"
#include "actions/WindowTable.h"
#include "menu/CommandMenu.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"

#include <optional>

namespace mirelunde {

namespace {

std::optional<HugDirection> HugFor(WPARAM key)
{
    switch (key) {
    case VK_NUMPAD1: return HugDirection::BottomLeft;
    case VK_NUMPAD2: return HugDirection::Bottom;
    case VK_NUMPAD3: return HugDirection::BottomRight;
    case VK_NUMPAD4: return HugDirection::Left;
    case VK_NUMPAD6: return HugDirection::Right;
    case VK_NUMPAD7: return HugDirection::TopLeft;
    case VK_NUMPAD8: return HugDirection::Top;
    case VK_NUMPAD9: return HugDirection::TopRight;
    default: return std::nullopt;
    }
}

}  // namespace

void RunShortcut(HWND focus, WPARAM key)
{
    if (!SettingOn(names::kEnableKeyboard, true)) return;
    switch (key) {
    case VK_NUMPAD0:
        if (const HWND frame = FindSystemMenuWindow(focus)) windowTable.ToggleShade(frame);
        return;
    case VK_NUMPAD5: windowTable.ToggleShade(FindTopLevelAncestor(focus)); return;
    case VK_MULTIPLY: windowTable.RaiseOrSink(FindTopLevelAncestor(focus), windowTable.rememberedWindow); return;
    case VK_ADD: {
        // The focus is often a control: the menu's window commands are for the window around it.
        const HWND frame = FindSystemMenuWindow(focus);
        ShowCommandMenu(frame ? frame : FindTopLevelAncestor(focus));
        return;
    }
    case VK_SUBTRACT:
        if (StillHeld(windowTable.controlHeld, VK_CONTROL)) windowTable.RequestStop(focus, IDNO);
        return;
    case VK_SCROLL: windowTable.AlwaysOnTop(focus, true); return;
    default:
        if (const auto hug = HugFor(key)) HugFrame(focus, *hug);
        return;
    }
}

}  // namespace mirelunde
