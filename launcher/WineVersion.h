// Which Wine the launcher runs on, if any: where Wine's hooks differ from Windows', it adapts.
#pragma once

#include "hook/Exports.h"

#include <windows.h>

#include <cstdlib>

namespace mirelunde {

// The major version of the Wine the launcher runs on; 0 on Windows.
inline int WineMajorVersion()
{
    const auto version = ProcAddress<const char*(__cdecl*)()>(GetModuleHandleA("ntdll.dll"), "wine_get_version");
    return version != nullptr ? std::atoi(version()) : 0;
}

}  // namespace mirelunde
