// Real input through the system's input queue (SendInput), as a user's mouse and keyboard give it.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace testing_support {

enum class Button { Left, Middle, Right };

// Clicks at a point of the screen. Every button event carries the point, as a mouse's do under X:
// a pointer position that another program reports late cannot move the click elsewhere.
void Click(POINT point, Button button, int times = 1);
// Presses the keys in order and releases them in reverse order.
void Chord(std::initializer_list<WORD> keys);
// Half a chord: a key held across other input, and its release.
void PressKey(WORD vk);
void ReleaseKey(WORD vk);

// Under Wine a key sent here never reaches the X server, and Wine sets its key state to the X
// server's whenever a window is told of the focus or the pointer: Alt held then is let go. Turned
// on, left Alt is pressed and let go in the X server instead, as a real keyboard's is (the other
// keys stay input here), so that the X server holds it as long as the chord does; and the X focus
// is given as below.
void UseTheXServer();
// Under Wine, the X server may ignore the focus request of a window made the foreground window by
// input sent here or by SetForegroundWindow (Wine dates it by its own, lagging reckoning of the X
// server's clock), and the program later gives the foreground to the desktop. With UseTheXServer on,
// this gives the X focus to the foreground window, as a window manager would, and says when it was
// elsewhere.
void GiveTheXFocusToTheForegroundWindow();

// What GetKeyState answers on the calling thread, as if the key's press or release had been taken
// from its queue.
void SetKeyState(WORD vk, bool down);

// A point in the middle of the window's caption bar.
POINT CaptionPoint(HWND window);
// The centre of the caption's close button.
POINT CloseButtonPoint(HWND window);

}  // namespace testing_support
