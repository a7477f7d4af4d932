// The user's login entry that starts the launcher.
#pragma once

namespace mirelunde {

// True when the user's Run key holds an entry that starts the launcher.
bool IsRunAtLogin();

}  // namespace mirelunde
