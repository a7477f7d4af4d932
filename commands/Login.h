// The user's login entry that starts the launcher.
#pragma once

#include <windows.h>

#include <cstddef>

namespace mirelunde {

inline constexpr size_t kLauncherPathSize = 520 * 3;               // a path of 520 UTF-16 units, in UTF-8 bytes
inline constexpr unsigned kLoginEntrySize = 1024;                  // the entry with its options, in UTF-16 units
inline constexpr unsigned kLoginEntryBytes = kLoginEntrySize * 3;  // the same in UTF-8

// True when the user's Run key holds an entry that starts the launcher, named by its full, quoted
// path or, as entries were written before, by its bare file name.
bool IsRunAtLogin();

// Writes the entry that starts the launcher with `options` (nothing after the path when null), or
// removes it, and removes the entries of older versions. The result is the status of the
// machine-wide step, or the reason the entry was not written: ERROR_INSUFFICIENT_BUFFER when the
// options are too long, ERROR_FILENAME_EXCED_RANGE when the launcher's path is.
LONG SwitchLoginEntry(bool enable, const char* options);

// The launcher that a login should start, for a module at `modulePath`: the mirelunde.exe in the
// module's folder, except that on 64-bit Windows a module in a folder named x86 names the 64-bit
// launcher in the folder above when that is there, since that one starts both. False when the
// path does not fit.
bool LoginLauncherFor(const char* modulePath, char (&launcher)[kLauncherPathSize]);

}  // namespace mirelunde
