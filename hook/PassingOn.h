// A message this thread has handled and passes down the hook chain. Where the chain holds a second
// hook of the library (Wine 8 keeps the hooks of a launcher that ended without removing them for as
// long as the desktop lives, and the next launcher's hooks pass every message on to them), the
// message comes back to the library while it is passed on, and is only passed on again: a keypad
// digit would otherwise count twice, and the System Menu's row open the command menu twice.
#pragma once

#include <windows.h>

namespace mirelunde {

struct PassedMessage {
    int hook;  // WH_GETMESSAGE or WH_CALLWNDPROC
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const PassedMessage&) const = default;
};

// Holds the message as this thread's own while it lives: around the CallNextHookEx that passes it on.
class PassingOn {
public:
    explicit PassingOn(const PassedMessage& message) noexcept;
    ~PassingOn();
    PassingOn(const PassingOn&) = delete;
    PassingOn& operator=(const PassingOn&) = delete;

    // True while this thread passes that very message on.
    static bool ComesBack(const PassedMessage& message) noexcept;

private:
    PassedMessage message_;
    PassingOn* outer_ = nullptr;  // a message passed on further out, around a lower hook's own loop
    bool held_ = false;
};

// The thread-local slot, taken as the library arrives in a process and given back as it leaves.
void StartPassingOn() noexcept;
void EndPassingOn() noexcept;

}  // namespace mirelunde
