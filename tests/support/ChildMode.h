// Test executables re-run themselves as child processes: "--child NAME args..." runs a registered mode.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

using ChildModeFunction = int (*)(const std::vector<std::string>& args);

struct ChildModeRegistration {
    ChildModeRegistration(const char* name, ChildModeFunction function);
};

#define MIRELUNDE_CHILD_MODE(name, function) \
    static ::testing_support::ChildModeRegistration childMode_##function(name, function)

// Called by main first: runs the requested mode and returns true with its exit code.
bool RunChildMode(int argc, char** argv, int& exitCode);

// Starts this executable as a child in the given mode; the caller owns the returned handles.
PROCESS_INFORMATION StartChild(const std::string& mode, const std::vector<std::string>& args);

// Waits for a process and returns its exit code, or -1 on timeout.
int WaitForExit(HANDLE process, DWORD timeoutMs);

}  // namespace testing_support
