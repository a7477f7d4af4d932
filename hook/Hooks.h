// The two hook procedures' bodies; hook/Entries.cpp exports them at places that never move.
#pragma once

#include <windows.h>

namespace mirelunde {

LRESULT GetMsgHook(int code, WPARAM wParam, LPARAM lParam) noexcept;
LRESULT CallWndHook(int code, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace mirelunde
