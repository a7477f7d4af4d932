// The programs the user keeps the library out of: file names or full paths, separated by ';'.
#pragma once

#include "settings/Registry.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace mirelunde {

// The list, terminator included, is shorter than this; a longer one excludes nothing, and is never
// read in part.
inline constexpr unsigned kExcludedListSize = MAX_PATH;
// The most characters a list can have that is written with its terminator, as the writers here do.
inline constexpr unsigned kLongestList = kExcludedListSize - 2;

// What keeps the library from reading a stored list.
enum class ListFault { None, TooLong, BadEntry, ZeroByte, NotText };

// A stored list as a person sees it to mend it: its text as far as it is text, and what is wrong.
struct StoredList {
    bool present = false;
    std::string text;  // up to a zero byte in it; empty when the value is not text
    ListFault fault = ListFault::None;
    std::string badEntry;  // with BadEntry, the first entry no file name can make
    DWORD type = REG_NONE;
    DWORD size = 0;  // bytes
};

// The list stored as `valueName` in the settings key, as the library would read it.
StoredList ReadStoredList(const char* valueName);

// The entries of a list as the library reads them, without the blanks and quotes around each, the
// empty ones left out; and the list that holds such entries.
std::vector<std::string> ListEntries(std::string_view list);
std::string JoinEntries(const std::vector<std::string>& entries);

// Why the library would not read `list` once written; `badEntry`, when given, gets the entry at
// fault.
ListFault CheckList(std::string_view list, std::string* badEntry = nullptr);

// "C:\Tools\app.exe" -> "app.exe": what the lists hold of a program by default.
std::string_view FileNameOf(std::string_view path);

// Whether the list names the program: a bare file name matches that name in any folder, a path
// only that file; letter case does not count, and blanks around an entry or a pair of quotes
// around it are not part of it. A list that holds anything no file name can hold names nothing.
bool ListNamesProgram(std::string_view list, std::string_view exePath);

// As the library arrives in a process: whether the stored list names its program.
bool IsExcludedProgram(const RegSnapshot& settings, const std::string& exePath);

// Adds the program's file name to the stored list, unless the list names the program already.
// A list that cannot take it (full, or not one this reads) is left as the user wrote it. Whether
// the stored list names the program now.
bool AddExcludedProgram(const std::string& exePath);

}  // namespace mirelunde
