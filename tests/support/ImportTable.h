// Rewriting a loaded module's import address table, so a test or a benchmark can see which
// platform calls that one module makes.
#pragma once

#include <windows.h>

#include <functional>

namespace testing_support {

// Fills every import slot of `module` with `choose(dll, function, real)`, where `real` is the
// address the loader would bind (null for imports by ordinal, which are bound unchanged). Works on
// a module loaded normally and on one mapped with DONT_RESOLVE_DLL_REFERENCES. False when a
// dependency or function cannot be found.
bool BindImports(HMODULE module, const std::function<void*(const char* dll, const char* function, void* real)>& choose);

}  // namespace testing_support
