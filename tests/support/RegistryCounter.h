// Counts the registry calls one loaded module makes, by binding its ADVAPI32 registry imports to
// counting wrappers.
#pragma once

#include <windows.h>

namespace testing_support {

struct RegistryCalls {
    unsigned opens = 0;    // RegOpenKeyA, RegOpenKeyExA, RegCreateKeyExA
    unsigned queries = 0;  // RegQueryValueExA, RegEnumKeyExA, RegEnumValueA
    unsigned writes = 0;   // RegSetValueExA, RegDeleteKeyA, RegDeleteValueA
    unsigned closes = 0;   // RegCloseKey
    unsigned Total() const { return opens + queries + writes + closes; }
};

// Binds `module`'s imports, the registry ones through the counters. For a module mapped with
// DONT_RESOLVE_DLL_REFERENCES this is its whole binding, so its entry point can then be called.
bool CountRegistryCallsOf(HMODULE module);
RegistryCalls CountedRegistryCalls();
void ResetRegistryCounts();

}  // namespace testing_support
