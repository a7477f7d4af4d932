// The request each thread of this program answers for its own windows, in the window-procedure hook.
#pragma once

#include "settings/SettingsNames.h"

namespace mirelunde {

// Sends the request to one top-level window of each thread of this process: this thread answers at
// once, the others when they next handle a message, so nothing here waits on a thread that is busy.
void AskEveryOwnThread(names::ThreadRequest what);

}  // namespace mirelunde
