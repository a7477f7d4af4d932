// Removing the copies of the launcher's files that the installer moved aside.
#include "launcher/MovedCopies.h"

#include <windows.h>

#include <string>

namespace mirelunde {

void RemoveMovedCopies()
{
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
    if (length == 0 || length >= ARRAYSIZE(path)) return;
    std::wstring folder(path, length);
    folder.resize(folder.find_last_of(L'\\') + 1);

    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"*.moved").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) DeleteFileW((folder + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace mirelunde
