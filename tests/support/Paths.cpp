// Locating built artefacts and scratch directories.
#include "tests/support/Paths.h"

#include <windows.h>

namespace testing_support {

std::string OwnExecutable()
{
    char path[MAX_PATH * 2] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, length);
}

std::string BuiltFile(const char* name)
{
    std::string path = OwnExecutable();
    path.resize(path.find_last_of("\\/") + 1);
    return path + name;
}

// Process ids are reused, so a name is only taken once CreateDirectory has made it afresh.
std::string TempDirectory()
{
    static unsigned counter = 0;
    char base[MAX_PATH] = {};
    GetTempPathA(sizeof base, base);
    for (;;) {
        const std::string path = std::string(base) + "mirelunde-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                                 std::to_string(GetTickCount64()) + "-" + std::to_string(++counter);
        if (CreateDirectoryA(path.c_str(), nullptr)) return path;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return path;
    }
}

}  // namespace testing_support
