// Removing the copies of the launcher's files that the installer moved aside.
#include "launcher/MovedCopies.h"

#include <windows.h>

#include <string>

namespace mirelunde {

void RemoveMovedCopies()
{
    char path[MAX_PATH * 2] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) return;
    std::string folder(path, length);
    folder.resize(folder.find_last_of('\\') + 1);

    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "*.moved").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) DeleteFileA((folder + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

}  // namespace mirelunde
