// The user's lists of programs, the programs the library leaves alone and those whose windows it keeps
// on top: file names or full paths, separated by ';'. Both lists are read and written alike.
#pragma once

#include "settings/Registry.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace mirelunde {

// A list, terminator included, is shorter than this many UTF-16 units, as the registry holds it; a
// longer one names no program, and is never read in part.
inline constexpr unsigned kProgramListSize = MAX_PATH;
// The most characters a list can have that is written with its terminator, as the writers here do.
inline constexpr unsigned kLongestList = kProgramListSize - 2;
// The most bytes such a list takes in UTF-8, terminator included.
inline constexpr unsigned kProgramListBytes = kProgramListSize * 3;

// What keeps the library from reading a stored list.
enum class ListFault { None, TooLong, BadEntry, ZeroByte, NotText };

// A stored list as a person sees it to mend it: its text as far as it is text, and what is wrong.
struct StoredList {
    bool present = false;
    std::string text;  // UTF-8, up to a zero in it; empty when the value is not text
    ListFault fault = ListFault::None;
    std::string badEntry;  // with BadEntry, the first entry no file name can make
    DWORD type = REG_NONE;
    DWORD size = 0;  // bytes, as the registry holds them
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

// Why a program's name cannot be one entry of a list: it holds the separator, or it is longer than a
// whole list may be.
enum class NameFault { None, HoldsSeparator, TooLong };
NameFault CheckProgramName(std::string_view name);

// "C:\Tools\app.exe" -> "app.exe": what the lists hold of a program by default.
std::string_view FileNameOf(std::string_view path);

// Whether the list names the program: a bare file name matches that name in any folder, a path
// only that file; letter case does not count, and blanks around an entry or a pair of quotes
// around it are not part of it. A list that holds anything no file name can hold names nothing.
bool ListNamesProgram(std::string_view list, std::string_view exePath);

// Whether the list stored as `valueName` names the program: as the library arrives in a process,
// from the values it reads then, or as the list is stored now.
bool IsListedProgram(const RegSnapshot& settings, const char* valueName, const std::string& exePath);
bool IsListedProgram(const char* valueName, const std::string& exePath);

// Puts the program's file name on the stored list, unless the list names the program already; or
// takes off every entry that names it, keeping the others as the user wrote them. A list that cannot
// take the change (full, or not one this reads) is left as it is. Whether the stored list names the
// program, or not, as asked.
bool SetProgramListed(const char* valueName, const std::string& exePath, bool listed);

}  // namespace mirelunde
