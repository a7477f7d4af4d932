// The programs the user keeps the library out of: file names or full paths, separated by ';'.
#pragma once

#include "settings/Registry.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace mirelunde {

// The list, terminator included, is shorter than this; a longer one excludes nothing, and is never
// read in part.
inline constexpr unsigned kExcludedListSize = MAX_PATH;

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
