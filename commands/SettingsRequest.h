// Asking the launcher for its settings window: the window is the launcher's, never a host program's.
#pragma once

namespace mirelunde {

// Has the running launcher show its settings window, or bring it to the front; false when no
// launcher window answers.
bool AskForSettingsWindow();

}  // namespace mirelunde
