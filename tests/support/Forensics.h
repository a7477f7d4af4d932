// Reports of a hang: where every thread of every process in the Wine prefix is, taken by the runner
// of the ctest entry (scripts/test-entry, which runs scripts/forensics) before anything is ended.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// Asks for a report, of the given processes only if any are named, and waits until it is written:
// its folder, or nothing when the test does not run under scripts/test-entry.
std::optional<std::string> RecordHang(const std::string& why, const std::vector<DWORD>& processes = {});

// A GUI thread's state as the system keeps it: its capture, its menu and move-size windows and
// the GUITHREADINFO flags (a menu's or a move's loop of the system's own shows there).
std::string GuiThreadState(DWORD threadId);

// Watches every test case: one still running after limitMs has a report taken and ends the process,
// as nothing else would end a case that waits forever. With MIRELUNDE_FORENSICS_ON_FAILURE set (as
// scripts/soak sets it), the first failure of a case has a report taken too.
void WatchEachCase(DWORD limitMs);

}  // namespace testing_support
