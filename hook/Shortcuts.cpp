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
    // Keypad + with hex codes on: the hold may be a code, so + acts as Alt is let go, alone in the hold.
    SharedValue<bool> hexPlus = false;
    SharedValue<bool> hexPlusAlone = false;
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

// Read as keypad + goes down with Alt: the user may turn it on at any time.
bool HexCodesOn()
{
    char value[4] = {};
    return ReadRegString(HKEY_CURRENT_USER, names::kInputMethodKey, names::kEnableHexNumpad, value, sizeof value) &&
           value[0] == '1' && value[1] == '\0';
}

bool IsModifier(WPARAM key)
{
    return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU;
}

void ShowMenuFor(HWND focus)
{
    // The focus is often a control: the menu's window commands are for the window around it.
    const HWND frame = FindSystemMenuWindow(focus);
    ShowCommandMenu(frame ? frame : FindTopLevelAncestor(focus));
}

void NotePlusDown()
{
    if (altHold.hexPlus || !ShortcutAltDown() || !HexCodesOn()) return;
    altHold.hexPlusAlone = altHold.digits == 0;
    altHold.hexPlus = true;
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
    if (keyData & kWasDownBit) return;
    if (altHold.hexPlus && !IsModifier(key)) altHold.hexPlusAlone = false;  // a digit of the code
    if (key == VK_ADD) NotePlusDown();
    if (!IsKeypadDigit(key)) return;
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
    if (key == VK_ADD && altHold.hexPlus) return false;  // it acts as Alt is let go, if at all
    if (!ShortcutAltDown()) return false;
    if (key == VK_SUBTRACT && !StillHeld(windowTable.controlHeld, VK_CONTROL)) return false;
    if (!KeyboardOn()) return false;
    altHold.shortcutRan = true;  // before the action: a menu or box runs its own loop meanwhile
    switch (key) {
    case VK_MULTIPLY: windowTable.RaiseOrSink(FindTopLevelAncestor(focus), windowTable.rememberedWindow); break;
    case VK_ADD: ShowMenuFor(focus); break;
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
    // After a hex code's keypad + the digits are the code's.
    const WPARAM digit = altHold.digits == 1 && !altHold.hexPlus ? altHold.loneDigit.load() : 0;
    const bool controlHeld = altHold.digitWithControl;
    const bool plusAlone = altHold.hexPlus && altHold.hexPlusAlone;
    bool ran = altHold.shortcutRan;
    ForgetAltHold();
    if ((digit != 0 || plusAlone) && KeyboardOn()) {
        if (plusAlone)
            ShowMenuFor(focus);
        else
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
    altHold.hexPlus = false;
    altHold.hexPlusAlone = false;
}

}  // namespace mirelunde
