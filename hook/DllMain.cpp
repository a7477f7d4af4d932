// The library's entry point: attach and detach in every process it is mapped into.
#include "hook/Attach.h"
#include "hook/LeanThreads.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) noexcept
{
    try {
        if (reason == DLL_PROCESS_ATTACH)
            mirelunde::AttachProcess();
        else if (reason == DLL_PROCESS_DETACH)
            mirelunde::DetachProcess();
    } catch (...) {
        // Nothing may escape into the host program's loader.
    }
    // At process exit other threads may have died holding the heap's lock: nothing is freed then.
    if (reason == DLL_THREAD_DETACH || (reason == DLL_PROCESS_DETACH && reserved == nullptr))
        mirelunde::EndThreadValues(reason == DLL_PROCESS_DETACH);
    return TRUE;
}
