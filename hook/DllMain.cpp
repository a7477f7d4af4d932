// The library's entry point: attach and detach in every process it is mapped into.
#include "hook/Attach.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) noexcept
{
    try {
        if (reason == DLL_PROCESS_ATTACH)
            mirelunde::AttachProcess();
        else if (reason == DLL_PROCESS_DETACH)
            mirelunde::DetachProcess();
    } catch (...) {
        // Nothing may escape into the host program's loader.
    }
    return TRUE;
}
