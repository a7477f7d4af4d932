// "Leave this program alone": the menu's way to put a program on the user's list of excluded ones.
#pragma once

#include <windows.h>

#include <string>

namespace mirelunde {

// Why the program of that path could not be put on a list: its name, or else the list.
const char* WhyNotListed(const std::string& exePath);

// Adds this program to the list, has every thread of it put back what the library changed, and
// leaves the hooks passing messages on from then on; `owner` owns the box that says so when the
// list could not take the program, which is then left alone only until it ends.
void LeaveProgramAlone(HWND owner);

}  // namespace mirelunde
