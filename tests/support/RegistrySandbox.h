// Redirects HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE of the test process to scratch keys, so tests
// never touch real settings, here or on Windows.
#pragma once

#include <windows.h>

namespace testing_support {

class RegistrySandbox {
public:
    static bool Install();
    static void Remove();
    // Empties both redirected roots between tests.
    static void Clear();
};

}  // namespace testing_support
