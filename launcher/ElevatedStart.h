// Starting the launcher with administrator rights at the user's logon, in place of the login entry,
// through a task of the Task Scheduler: for `--elevated on|off` and the settings window's row.
#pragma once

#include <windows.h>

#include <string>

namespace mirelunde {

// The task's path in the task library: "\Mirelunde\<the user's SID>".
std::string ElevatedStartTask();

// The launcher the task starts: this one, or on 64-bit Windows the 64-bit one above an x86 folder.
std::string ElevatedStartLauncher();

// Offered only for an install that nobody but administrators can change (InstallCheck).
bool ElevatedStartOffered();

// Whether the user's task is registered.
bool ElevatedStartOn();

// Registers the task, which starts the launcher with `options` at the user's logon with the highest
// rights the user has, without asking, and sets the login entry aside; or removes the task and puts
// the login entry back as it was. Needs a launcher run as administrator. S_OK, or the Task
// Scheduler's error.
HRESULT SetElevatedStart(bool on, const std::string& options);

// For a launcher that is not elevated: runs `mirelunde.exe --elevated on|off <options>` as
// administrator (the system asks the user first) and waits for it. Its exit code, or -1 when the user
// declined.
int SetElevatedStartAsAdministrator(bool on, const std::string& options, HWND owner);

}  // namespace mirelunde
