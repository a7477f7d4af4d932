// A system-wide hook set by a thread of its own, which takes its messages, and removed by ending
// that thread.
#pragma once

#include "settings/Handles.h"

#include <windows.h>

namespace mirelunde {

// The system removes a hook once as the thread that set it ends. Removed with UnhookWindowsHookEx
// while some thread is inside a chain of its kind, the hook stays listed until that chain finishes,
// and Wine 10's server removes it a second time if its thread ends before then: every thread's count
// of such hooks goes below zero and the server aborts, taking every program with it.
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
