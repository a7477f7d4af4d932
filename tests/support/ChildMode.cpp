// Registry of child-process modes and the helpers that start them.
#include "tests/support/ChildMode.h"

#include "tests/support/Paths.h"

#include <map>

namespace testing_support {

namespace {
std::map<std::string, ChildModeFunction>& Modes()
{
    static std::map<std::string, ChildModeFunction> modes;
    return modes;
}
}  // namespace

ChildModeRegistration::ChildModeRegistration(const char* name, ChildModeFunction function)
{
    Modes()[name] = function;
}

bool RunChildMode(int argc, char** argv, int& exitCode)
{
    if (argc < 3 || std::string(argv[1]) != "--child") return false;
    const auto found = Modes().find(argv[2]);
    if (found == Modes().end()) {
        exitCode = 99;
        return true;
    }
    exitCode = found->second(std::vector<std::string>(argv + 3, argv + argc));
    return true;
}

PROCESS_INFORMATION StartChild(const std::string& mode, const std::vector<std::string>& args)
{
    std::string commandLine;
    auto append = [&commandLine](const std::string& word) {
        commandLine.append(commandLine.empty() ? "\"" : " \"").append(word).append("\"");
    };
    append(OwnExecutable());
    append("--child");
    append(mode);
    for (const std::string& arg : args) append(arg);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return PROCESS_INFORMATION{};
    return process;
}

int WaitForExit(HANDLE process, DWORD timeoutMs)
{
    if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return static_cast<int>(code);
}

}  // namespace testing_support
