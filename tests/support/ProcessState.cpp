// Resetting the library's per-process state between tests.
#include "tests/support/ProcessState.h"

#include "actions/WindowTable.h"
#include "hook/GestureState.h"
#include "settings/ProcessSettings.h"
#include "tests/support/RegistrySandbox.h"

namespace testing_support {

void ResetProcessState()
{
    using namespace mirelunde;
    RegistrySandbox::Clear();
    processSettings = ProcessSettings{};
    processSettings.exePath = "test";
    processSettings.twoButtonMouse = false;
    processSettings.addToSystemMenu = false;
    windowTable.records.clear();
    windowTable.systemMenuItemId = 0;
    windowTable.rememberedWindow = nullptr;
    windowTable.ReleaseModifiers();
    const BYTE noKeys[256] = {};
    SetKeyboardState(const_cast<BYTE*>(noKeys));
    windowTable.systemMenuWindow = nullptr;
    gestureState = GestureState{};
}

}  // namespace testing_support
