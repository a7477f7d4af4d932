// The keypad shortcut table: the digits form the compass of the hugs around 5, which shades.
#include "hook/Shortcuts.h"

#include "actions/Hug.h"
#include "actions/WindowSearch.h"
#include "actions/WindowTable.h"
#include "menu/CommandMenu.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "settings/SharedValue.h"

#include <optional>

namespace mirelunde {

namespace {

constexpr LPARAM kWasDownBit = 1 << 30;  // set on a key's repeats

// What one hold of Alt has seen; the keys of a hold go to one thread, but any thread may hold it.
struct AltHold {
    SharedValue<int> digits = 0;        // keypad digits pressed
    SharedValue<WPARAM> loneDigit = 0;  // the first of them, when its Alt was a shortcut's
    SharedValue<bool> digitWithControl = false;
    SharedValue<bool> shortcutRan = false;
};

AltHold altHold;

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

bool IsKeypadDigit(WPARAM key)
{
    return key >= VK_NUMPAD0 && key <= VK_NUMPAD9;
}

// Alt really down as a shortcut's modifier. On the layouts that have AltGr, the system sends a left
// Ctrl press with the right Alt's: a right Alt with Ctrl is that key, typing a character. A left
// Alt with Ctrl is the Ctrl+Alt a person presses.
bool ShortcutAltDown()
{
    if (!StillHeld(windowTable.altHeld, VK_MENU)) return false;
    return GetKeyState(VK_LMENU) < 0 || GetKeyState(VK_CONTROL) >= 0;
}

bool KeyboardOn()
{
    return SettingOn(names::kEnableKeyboard, true);
}

void RunDigit(HWND focus, WPARAM digit, bool controlHeld)
{
    if (digit == VK_NUMPAD0) {
        if (const HWND frame = FindSystemMenuWindow(focus)) windowTable.ToggleShade(frame);
    } else if (digit == VK_NUMPAD5) {
        windowTable.ToggleShade(FindTopLevelAncestor(focus));
    } else if (const auto hug = HugFor(digit)) {
        HugFrame(focus, *hug, controlHeld);
    }
}

}  // namespace

void NoteShortcutKeyDown(WPARAM key, LPARAM keyData)
{
    if (!IsKeypadDigit(key) || (keyData & kWasDownBit)) return;
    if (!StillHeld(windowTable.altHeld, VK_MENU)) {
        ForgetAltHold();  // Alt went up where this process did not see it: whatever comes is another hold
        return;
    }
    const int digits = ++altHold.digits;
    if (digits > 1 || !ShortcutAltDown()) return;
    altHold.loneDigit = key;
    altHold.digitWithControl = StillHeld(windowTable.controlHeld, VK_CONTROL);
}

bool RunShortcutOnRelease(HWND focus, WPARAM key)
{
    // Only keys of the table that act at once; the rest are typing.
    if (key != VK_MULTIPLY && key != VK_ADD && key != VK_SUBTRACT && key != VK_SCROLL) return false;
    if (!ShortcutAltDown()) return false;
    if (key == VK_SUBTRACT && !StillHeld(windowTable.controlHeld, VK_CONTROL)) return false;
    if (!KeyboardOn()) return false;
    altHold.shortcutRan = true;  // before the action: a menu or box runs its own loop meanwhile
    switch (key) {
    case VK_MULTIPLY: windowTable.RaiseOrSink(FindTopLevelAncestor(focus), windowTable.rememberedWindow); break;
    case VK_ADD: {
        // The focus is often a control: the menu's window commands are for the window around it.
        const HWND frame = FindSystemMenuWindow(focus);
        ShowCommandMenu(frame ? frame : FindTopLevelAncestor(focus));
        break;
    }
    case VK_SUBTRACT: windowTable.RequestStop(focus, IDNO); break;
    default: windowTable.AlwaysOnTop(focus, true); break;
    }
    return true;
}

void NoteAltDown(LPARAM keyData)
{
    if (!(keyData & kWasDownBit)) ForgetAltHold();
}

bool EndAltHold(HWND focus)
{
    const WPARAM digit = altHold.digits == 1 ? altHold.loneDigit.load() : 0;
    const bool controlHeld = altHold.digitWithControl;
    bool ran = altHold.shortcutRan;
    ForgetAltHold();
    if (digit != 0 && KeyboardOn()) {
        RunDigit(focus, digit, controlHeld);
        ran = true;
    }
    return ran;
}

void ForgetAltHold()
{
    altHold.digits = 0;
    altHold.loneDigit = 0;
    altHold.digitWithControl = false;
    altHold.shortcutRan = false;
}

}  // namespace mirelunde
