// The exported hook procedures, at the very start of the library's code and always in this order.
// A hook names its procedure by module path and offset, and a program that still holds an older
// library at the same path after an upgrade (Windows unloads it lazily, Wine never) is called at the
// new library's offsets in the old one. Kept where they are, those offsets lead to the old library's
// own procedures, and the program goes on with the code it loaded.
#include "hook/Exports.h"
#include "hook/Hooks.h"

// The linker puts ".init" before all other code; 64 bytes hold either architecture's jump.
#define MIRELUNDE_FIXED_ENTRY extern "C" __attribute__((section(".init"), aligned(64), used))

MIRELUNDE_FIXED_ENTRY LRESULT CALLBACK BrackwenGetMsgProc(int code, WPARAM wParam, LPARAM lParam) noexcept
{
    return mirelunde::GetMsgHook(code, wParam, lParam);
}

MIRELUNDE_FIXED_ENTRY LRESULT CALLBACK BrackwenCallWndProc(int code, WPARAM wParam, LPARAM lParam) noexcept
{
    return mirelunde::CallWndHook(code, wParam, lParam);
}
