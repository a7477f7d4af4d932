// The benchmark's baseline library: the same runtime and link flags as Mirelunde.dll, no work.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
