// A system-wide hook that lives as long as a thread of the launcher's that only takes its messages.
#include "launcher/HookThread.h"

#include "launcher/WineVersion.h"

namespace mirelunde {

namespace {

// Whether the hook is removed by hand before its thread ends. Windows and Wine from version 10 also
// remove a global hook as the thread that set it ends, but Wine 10 then removes it a second time if
// UnhookWindowsHookEx removed it while a chain of its kind was in use, and its server aborts: there
// the thread's end alone removes it. Earlier Wines keep a global hook whose thread has ended.
bool UnhookBeforeThreadEnds()
{
    return WineMajorVersion() < 10;  // Windows gives 0
}

}  // namespace

HookThread::HookThread(int id, HOOKPROC procedure, HMODULE module)
    : id_(id),
      procedure_(procedure),
      module_(module),
      set_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      end_(CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
    if (!set_ || !end_) return;
    thread_.reset(CreateThread(nullptr, 0, Run, this, 0, nullptr));
    if (!thread_) return;
    const HANDLE waits[] = {set_.get(), thread_.get()};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) return;
    DWORD error = ERROR_GEN_FAILURE;  // the thread's exit code is the hook's error
    GetExitCodeThread(thread_.get(), &error);
    SetLastError(error);
}

DWORD WINAPI HookThread::Run(void* param) noexcept
{
    auto* self = static_cast<HookThread*>(param);
    self->hook_ = SetWindowsHookExA(self->id_, self->procedure_, self->module_, 0);
    if (self->hook_ == nullptr) return GetLastError();
    SetEvent(self->set_.get());
    // The system calls the hook for programs of the other architecture through this thread's
    // queue, so it takes its messages until it is asked to end, or those programs wait.
    const HANDLE end = self->end_.get();
    while (MsgWaitForMultipleObjects(1, &end, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    if (UnhookBeforeThreadEnds()) UnhookWindowsHookEx(self->hook_);
    return 0;
}

void HookThread::Remove()
{
    if (!thread_) return;
    SetEvent(end_.get());
    WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
    hook_ = nullptr;
}

}  // namespace mirelunde
