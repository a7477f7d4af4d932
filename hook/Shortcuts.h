// Alt with a key of the numeric keypad. Keypad * + - and Scroll Lock act as their key is released;
// a keypad digit acts as Alt is let go, and only when it was the one digit of that hold of Alt: two
// or more digits are an Alt code, which types a character. AltGr, the right Alt with Ctrl, types
// characters and is never a shortcut's Alt. Where the user has Alt, keypad + and hex digits type
// a character, keypad + too acts as Alt is let go, and only when no other key followed it.
#pragma once

#include <windows.h>

namespace mirelunde {

// A key went down: a keypad digit or keypad + counts towards the hold of Alt.
void NoteShortcutKeyDown(WPARAM key, LPARAM keyData);
// A key other than a modifier was released: runs the shortcut of keypad * + - or Scroll Lock when
// its modifiers are really down. True when it ran: the release is then the library's.
bool RunShortcutOnRelease(HWND focus, WPARAM key);
// Alt went down: a fresh press starts a new hold.
void NoteAltDown(LPARAM keyData);
// Alt was let go in `focus`: a lone keypad digit, or a lone keypad + of a hex code, acts now. True
// when a shortcut ran in the hold, so its release, from which the system would compose a character,
// is the library's.
bool EndAltHold(HWND focus);
// The keyboard went to another window: the hold goes on there, if anywhere.
void ForgetAltHold();

}  // namespace mirelunde
