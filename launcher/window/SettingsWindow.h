// The settings window: the command menu's choices, stretchy hugging, the login entry and the programs
// left alone in one window of the launcher's, read from the registry as it opens and written only by
// OK or Apply.
#pragma once

#include <windows.h>

#include <string>

namespace mirelunde {

// Shows the settings window and returns when it closes; when one is open already, brings it to the
// front and returns at once. It runs on the calling thread and closes with `owner`. Turning "Run
// Mirelunde at login" on writes the login entry with `loginOptions`.
void ShowSettingsWindow(HWND owner, const std::string& loginOptions);

// `mirelunde.exe --settings`: brings the open window to the front, or has the running launcher show
// it, or else shows it in this process until it closes. The launcher's exit code.
int RunSettingsCommand(const std::string& loginOptions);

}  // namespace mirelunde
