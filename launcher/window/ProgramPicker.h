// "Add ...": a program picked from those running now, by the file names of their windows'
// processes, or an .exe browsed for.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace mirelunde {

// The program's file name, or nothing when the user cancelled.
std::optional<std::string> PickProgram(HWND owner);

}  // namespace mirelunde
