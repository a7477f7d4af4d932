// Puts the library's per-process state of the test process back to "just attached, hooks live".
#pragma once

namespace testing_support {

// Empties the redirected registry, resets the window table and gesture state, and fills the
// process settings as attach would with both hooks published and default settings.
void ResetProcessState();

}  // namespace testing_support
