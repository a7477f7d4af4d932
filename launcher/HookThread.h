// A system-wide hook set by a thread of its own, which takes its messages while the hook is set.
#pragma once

#include "settings/Handles.h"

#include <windows.h>

namespace mirelunde {

// Removed as its thread ends, with UnhookWindowsHookEx first where that is safe (see
// UnhookBeforeThreadEnds in HookThread.cpp).
class HookThread {
public:
    // Sets the hook and waits until it is set; get() is null when it could not be.
    HookThread(int id, HOOKPROC procedure, HMODULE module);
    ~HookThread() { Remove(); }
    HookThread(const HookThread&) = delete;
    HookThread& operator=(const HookThread&) = delete;

    HHOOK get() const { return hook_; }
    // Ends the thread, and with it the hook; returns once both are gone.
    void Remove();

private:
    static DWORD WINAPI Run(void* param) noexcept;

    int id_;
    HOOKPROC procedure_;
    HMODULE module_;
    HHOOK hook_ = nullptr;
    Handle set_;
    Handle end_;
    Handle thread_;
};

}  // namespace mirelunde
