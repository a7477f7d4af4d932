// Where the launcher's messages go. It is a GUI-subsystem program, so it gets no console of its
// own: its messages go to the handles it was started with, else to the console of the program that
// started it; with neither (a double-click, a login), a failure is shown in a box.
#pragma once

#include <windows.h>

#include <string>

namespace mirelunde {

// Connects standard output and error; call it first. A launcher whose failures another reports
// (the companion) never shows a box.
void ConnectOutput(bool mayShowBoxes);

// Appends every line to the end of the file instead, and never shows a box: for a caller that reads
// no console and must not wait on a box, such as the installer.
void WriteToLog(const std::string& path);

// Frees the console it was connected to, if any, so closing that console no longer ends the
// launcher that runs on in the background.
void LeaveConsole();

// The text `id` in the user's language, with printf-style arguments.
std::string Message(UINT id, ...);
// The text with the system's error code after it.
std::string WithError(const std::string& text, DWORD error);

// A line on standard output: what the launcher did.
void Say(const std::string& text);
// A line on standard error about something the launcher goes on without.
void Warn(const std::string& text);
// Reports a failure that ends the launcher: on standard error, and in a box when nobody reads that.
void ReportFailure(const std::string& text);

}  // namespace mirelunde
