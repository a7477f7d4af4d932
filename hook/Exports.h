// The library's exported functions, as the launcher and the hook installers call them.
#pragma once

#include <windows.h>

extern "C" {
LRESULT CALLBACK BrackwenGetMsgProc(int code, WPARAM wParam, LPARAM lParam) noexcept;
LRESULT CALLBACK BrackwenCallWndProc(int code, WPARAM wParam, LPARAM lParam) noexcept;
int WINAPI DisplayHelp(const char* extraText) noexcept;
LONG WINAPI RunAtLogin(bool enable, const char* options) noexcept;
}

// Signatures for GetProcAddress callers.
using HookProcedure = LRESULT(CALLBACK*)(int, WPARAM, LPARAM);
using DisplayHelpProcedure = int(WINAPI*)(const char*);
using RunAtLoginProcedure = LONG(WINAPI*)(bool, const char*);

template <typename Procedure>
Procedure ProcAddress(HMODULE module, const char* name)
{
    return reinterpret_cast<Procedure>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
