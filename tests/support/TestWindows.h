// Real windows for tests: a frame class whose procedure records what it receives, and a pump.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace testing_support {

struct Received {
    UINT message;
    WPARAM wParam;
    RECT rect;  // the window's rectangle when the message arrived
};

// What the recording windows' procedure saw, per window, until cleared.
std::vector<Received>& ReceivedBy(HWND window);
void ForgetReceived();
bool WasReceived(HWND window, UINT message);

// A top-level frame (or child, or owned pop-up when `parent` is given) of the recording class,
// at (x, y) with the given size, shown without activation.
HWND MakeWindow(DWORD style, DWORD exStyle = 0, HWND parent = nullptr, RECT rect = {200, 150, 600, 450});
// A control of a system class inside `parent`.
HWND MakeControl(const char* className, HWND parent);

// Dispatches messages of this thread until `done` is true or the timeout runs out.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
// Dispatches for a fixed time.
void PumpFor(DWORD ms);

RECT WindowRect(HWND window);
int Height(HWND window);

}  // namespace testing_support
